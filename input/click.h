#pragma once

#include "platform/input_services.h"

namespace input {

// Clicks the left button at (x, y) in screen pixels and puts the cursor back
// where it was, without waiting for the click to be processed.
void ClickAtPoint(platform::InputServices& input, int x, int y);

}  // namespace input

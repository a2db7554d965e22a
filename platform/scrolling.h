#pragma once

#include <optional>

#include "platform/layout.h"

namespace platform {

enum class ScrollAction { LineUp, LineDown, PageUp, PageDown, Top, Bottom, Track };

// The position a user's action on a scroll bar leads to, within its range.
int ScrollTarget(const ScrollRange& bar, ScrollAction action, int trackPosition = 0);

// The line step that brings a control (its top and bottom on the screen)
// towards lying wholly inside the visible area, or none when it already does.
std::optional<ScrollAction> RevealStep(int top, int bottom, int visibleTop, int visibleBottom);

// Turns wheel deltas into whole scroll lines, keeping what is left of a notch
// for the next turn (high-resolution wheels send less than a notch).
class WheelAccumulator {
 public:
  // Positive result scrolls down (the wheel turned towards the user).
  int Lines(int delta, int linesPerNotch);

 private:
  int pending_ = 0;
};

}  // namespace platform

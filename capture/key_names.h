#pragma once

#include <optional>
#include <string>

namespace capture {

// The name a key is shown under in a hotkey field, or none.
std::optional<std::string> KeyNameOf(int code);

}  // namespace capture

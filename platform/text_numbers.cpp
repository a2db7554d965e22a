#include "platform/text_numbers.h"

namespace platform {

std::string IntToText(std::int32_t n) { return std::to_string(n); }

}  // namespace platform

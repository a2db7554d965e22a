#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The decimal form of n, with a leading "-" when negative.
std::string IntToText(std::int32_t n);

}  // namespace platform

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The decimal form of n, with a leading "-" when negative.
std::string IntToText(std::int32_t n);

// The number a text starts with: full-width digits, signs and the
// ideographic space read like their ASCII forms; leading white space is
// skipped, one sign is taken, then digits up to the first other character.
// No digits give 0; the value wraps modulo 2^32.
std::int32_t TextToInt(std::string_view text);

}  // namespace platform

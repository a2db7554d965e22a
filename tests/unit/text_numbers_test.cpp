#include "platform/text_numbers.h"

#include <gtest/gtest.h>

#include <climits>

namespace platform {
namespace {

TEST(TextToInt, ReadsTheNumberATextStartsWith) {
  struct Case {
    const char* text;
    std::int32_t value;
  };
  const Case cases[] = {
      {"", 0},
      {"   ", 0},
      {"abc", 0},
      {"-", 0},
      {"+-5", 0},            // one sign only
      {"- 5", 0},            // the digits follow the sign at once
      {"123", 123},
      {"-45", -45},
      {"+7", 7},
      {" \t\n\v\f\r42", 42},
      {"12px", 12},
      {"3.9", 3},
      {"0x10", 0},
      {"007", 7},
      {"１２３", 123},       // full-width digits
      {"－８", -8},          // full-width minus
      {"＋９", 9},           // full-width plus
      {"\u3000 ５0", 50},    // ideographic space, then mixed digits
      {"１２ ３", 12},
      {"～1", 0},            // the full-width tilde is no digit
      {"★1", 0},
      {"2147483647", 2147483647},
      {"2147483648", INT_MIN},          // wraps modulo 2^32
      {"-2147483648", INT_MIN},
      {"4294967296", 0},
      {"4294967297", 1},
      {"99999999999999999999", 1661992959},
      {"\xff\xfe" "5", 0},  // bytes that are no character stop the reading
      {"5\xff", 5},
      {"\xef\xbc", 0},      // a cut-off character
      {"\xe0\x80\xb5", 0},               // overlong forms of "5" are no digits
      {"\xf0\x80\x80\xb5", 0},
      {"5\xe0\x80\xb0" "1", 5},
      {"\xe0\x80\xad" "7", 0},           // nor of "-"
      {"\xf0\x8f\xbc\x95", 0},          // nor of a full-width "5"
      {"\xed\xa0\x80" "5", 0},           // an encoded surrogate is no character
  };
  for (const Case& c : cases) EXPECT_EQ(TextToInt(c.text), c.value) << '"' << c.text << '"';
}

TEST(IntToText, WritesPlainDecimal) {
  EXPECT_EQ(IntToText(0), "0");
  EXPECT_EQ(IntToText(-17), "-17");
  EXPECT_EQ(IntToText(INT_MAX), "2147483647");
  EXPECT_EQ(IntToText(INT_MIN), "-2147483648");
  for (std::int32_t n : {0, 1, -1, 1279, -1920, INT_MAX, INT_MIN}) EXPECT_EQ(TextToInt(IntToText(n)), n);
}

}  // namespace
}  // namespace platform

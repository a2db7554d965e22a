// TextToInt against a model of it written apart (tests/fuzz/text_to_int_model.h),
// over tricky texts whose values are worked out by hand, then over texts
// pieced together at random from the same kinds of pieces.

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <iomanip>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_numbers.h"
#include "tests/fuzz/text_to_int_model.h"

namespace platform {
namespace {

using tavrin_test::ModelTextToInt;

// Bytes as escapes, so a failure shows what the text really held.
std::string Shown(std::string_view text) {
  std::ostringstream out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      out << c;
    } else {
      out << "\\x" << std::hex << std::setw(2) << std::setfill('0') << static_cast<int>(byte);
    }
  }
  return out.str();
}

TEST(TextToIntModel, TrickyTextsReadAsWorkedOutByHand) {
  struct Case {
    std::string text;
    std::int32_t value;
  };
  const Case cases[] = {
      {"", 0},
      {std::string("\0" "5", 2), 0},                        // NUL is an other character
      {std::string("5\0" "5", 3), 5},
      {" \t\n\v\f\r-12", -12},                              // every ASCII white space
      {"\xc2\xa0" "7", 0},                                  // no-break space is no white space
      {"\xe3\x80\x80\xe3\x80\x80+\xef\xbc\x94\xef\xbc\x95", 45},  // ideographic spaces, wide digits
      {"\xe3\x80\x80-45", -45},
      {"\xef\xbc\x8d\xef\xbc\x8b" "1", 0},                  // wide minus then wide plus: one sign only
      {"\xef\xbc\x8b" "1\xef\xbc\x92" "3", 123},            // ASCII and wide digits mixed
      {"\xef\xbc\x8f" "1", 0},                              // U+FF0F '/' is just below the digits
      {"\xef\xbc\x9a" "1", 0},                              // U+FF1A ':' just above
      {"\xef\xbf\xa5" "1", 0},                              // U+FFE5 reads as '$'
      {"1\xe2\x98\x85" "2", 1},                             // a star reads as '*'
      {"\xf0\x9f\x98\x80" "5", 0},                          // emoji
      {"5\xf0\x9f\x98\x80" "5", 5},
      {"\x80" "5", 0},                                      // lone continuation byte
      {"12\xbf" "3", 12},
      {"\xef\xbc", 0},                                      // cut-off wide digit
      {"3\xef\xbc\x91\xef\xbc", 31},                        // a wide digit, then a cut-off one
      {"\xef\xbc" "7", 0},                                  // cut off by an ASCII digit
      {"\xc0\xb5", 0},                                      // overlong '5' in two bytes
      {"\xe0\x80\xb5", 0},                                  // overlong '5' in three bytes
      {"\xf0\x80\x80\xb5", 0},                              // overlong '5' in four bytes
      {"\xe0\x80\xa0" "7", 0},                              // overlong space
      {"\xe0\x80\xad" "7", 0},                              // overlong '-'
      {"5\xe0\x80\xb0" "1", 5},                             // overlong '0' amid digits
      {"\xf0\x8f\xbc\x95", 0},                              // overlong wide '5'
      {"\xed\xa0\x80" "5", 0},                              // an encoded surrogate
      {"\xf4\x90\x80\x80" "5", 0},                          // beyond U+10FFFF
      {"\xf8\x88\x80\x80\x80", 0},                          // five-byte form
      {"-0", 0},
      {"-2147483649", INT_MAX},
      {"4294967295", -1},
      {"-4294967295", 1},
      {"18446744073709551616", 0},                          // 2^64
      {"18446744073709551617", 1},
      {std::string(10000, '0') + "123", 123},
      {"-" + std::string(5000, '9'), 1},                    // 10^5000 - 1 is -1 mod 2^32
  };
  for (const Case& c : cases) {
    SCOPED_TRACE('"' + Shown(c.text).substr(0, 80) + '"');
    EXPECT_EQ(ModelTextToInt(c.text), c.value) << "the model is wrong";
    EXPECT_EQ(TextToInt(c.text), c.value);
  }
}

// Pieces the reading skips or takes, and pieces it stops at, several of
// them byte sequences that are no character.
const std::vector<std::string> kTakenPieces = {
    "0", "1", "5", "9", "+", "-", " ", "\t", "\n", "\r", "\v", "\f",
    "\xef\xbc\x90", "\xef\xbc\x95", "\xef\xbc\x99",  // wide digits
    "\xef\xbc\x8b", "\xef\xbc\x8d", "\xe3\x80\x80",  // wide signs, ideographic space
    "4294967296", "2147483648", "99999999999", std::string(40, '9'), std::string(30, '0'),
};
const std::vector<std::string> kStoppingPieces = {
    "x", ".", "\xef\xbc\x8f", "\xef\xbc\x9a", "\xef\xbf\xa5", "\xef\xbf\xa3", "\xe2\x98\x85",
    "\xc2\xa0", "\xf0\x9f\x98\x80", "\xf0\x9f\x91\x8d\xf0\x9f\x8f\xbd",       // emoji
    "\x80", "\xbf", "\xef\xbc", "\xf0\x9f\x98", "\xe3",                        // lone and cut-off
    "\xc0\xb1", "\xe0\x80\xb1", "\xf0\x80\x80\xb1", "\xe0\x80\xa0", "\xe0\x80\xad",  // overlong
    "\xed\xa0\x80", "\xed\xbf\xbf", "\xf4\x90\x80\x80", "\xff", std::string(1, '\0'),
};

TEST(TextToIntModel, RandomTextsReadAsTheModelReadsThem) {
  std::mt19937 random(20240611);  // fixed: the same texts every run
  std::vector<std::string> differences;
  for (int round = 0; round < 5000; ++round) {
    std::string text;
    const auto count = random() % 12;
    for (unsigned n = 0; n < count; ++n) {
      // Mostly pieces that are taken, so most texts have a number to read.
      const auto& pieces = random() % 4 != 0 ? kTakenPieces : kStoppingPieces;
      text += pieces[random() % pieces.size()];
    }
    if (ModelTextToInt(text) != TextToInt(text) && differences.size() < 10) {
      differences.push_back('"' + Shown(text) + "\" gives " + std::to_string(TextToInt(text)) + ", the model " +
                            std::to_string(ModelTextToInt(text)));
    }
  }
  std::string report;
  for (const std::string& d : differences) report += "\n  " + d;
  EXPECT_TRUE(differences.empty()) << "first differences:" << report;
}

}  // namespace
}  // namespace platform

#pragma once

// A plain model of platform::TextToInt, written apart from it so the two can
// be checked against each other: decode by the table of well-formed UTF-8,
// fold the wide forms, then read sign and digits, reducing modulo 2^32.

#include <cstdint>
#include <string_view>
#include <vector>

namespace tavrin_test {

// A byte sequence that is no well-formed UTF-8 character.
inline constexpr std::int64_t kNoCharacter = -1;

// The well-formed sequences: lead byte range, the range of the byte after it,
// and the length; every further byte is 80..BF.
struct Utf8Form {
  unsigned char leadLow, leadHigh, secondLow, secondHigh;
  std::size_t length;
};
inline constexpr Utf8Form kUtf8Forms[] = {
    {0x00, 0x7F, 0x00, 0x00, 1}, {0xC2, 0xDF, 0x80, 0xBF, 2}, {0xE0, 0xE0, 0xA0, 0xBF, 3},
    {0xE1, 0xEC, 0x80, 0xBF, 3}, {0xED, 0xED, 0x80, 0x9F, 3}, {0xEE, 0xEF, 0x80, 0xBF, 3},
    {0xF0, 0xF0, 0x90, 0xBF, 4}, {0xF1, 0xF3, 0x80, 0xBF, 4}, {0xF4, 0xF4, 0x80, 0x8F, 4},
};

// The code points of text; a byte that starts no well-formed sequence gives
// kNoCharacter and the reading goes on at the next byte.
inline std::vector<std::int64_t> DecodeUtf8(std::string_view text) {
  std::vector<std::int64_t> codes;
  std::size_t at = 0;
  while (at < text.size()) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    std::size_t length = 0;
    for (const Utf8Form& form : kUtf8Forms) {
      if (byte(0) < form.leadLow || byte(0) > form.leadHigh) continue;
      if (at + form.length > text.size()) break;
      bool wellFormed = true;
      for (std::size_t i = 1; i < form.length; ++i) {
        const unsigned char low = i == 1 ? form.secondLow : 0x80;
        const unsigned char high = i == 1 ? form.secondHigh : 0xBF;
        wellFormed = wellFormed && byte(i) >= low && byte(i) <= high;
      }
      if (wellFormed) length = form.length;
      break;
    }
    if (length == 0) {
      codes.push_back(kNoCharacter);
      at += 1;
      continue;
    }
    // The payload bits: 7 of a lone byte, 5/4/3 of a lead byte, 6 of each other.
    const unsigned leadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    std::int64_t code = byte(0) & leadBits[length];
    for (std::size_t i = 1; i < length; ++i) code = code * 64 + (byte(i) & 0x3F);
    codes.push_back(code);
    at += length;
  }
  return codes;
}

// The character a wide form reads as.
inline std::int64_t FoldWide(std::int64_t code) {
  if (code >= 0xFF01 && code <= 0xFF5E) return code - 0xFF01 + '!';
  if (code == 0x3000) return ' ';
  if (code == 0xFFE5) return '$';
  if (code == 0xFFE3) return '~';
  if (code == 0x2605 || code == 0x2606) return '*';
  return code;
}

inline bool IsAsciiSpace(std::int64_t c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

inline std::int32_t ModelTextToInt(std::string_view text) {
  std::vector<std::int64_t> codes = DecodeUtf8(text);
  for (std::int64_t& code : codes) code = FoldWide(code);
  std::size_t i = 0;
  while (i < codes.size() && IsAsciiSpace(codes[i])) ++i;
  bool negative = false;
  if (i < codes.size() && (codes[i] == '+' || codes[i] == '-')) {
    negative = codes[i] == '-';
    ++i;
  }
  constexpr std::uint64_t kModulus = std::uint64_t{1} << 32;
  std::uint64_t value = 0;  // always below kModulus
  for (; i < codes.size() && codes[i] >= '0' && codes[i] <= '9'; ++i) {
    value = (value * 10 + static_cast<std::uint64_t>(codes[i] - '0')) % kModulus;
  }
  if (negative) value = (kModulus - value) % kModulus;
  // Two's complement by arithmetic, not by a cast.
  const std::int64_t wrapped = value >= kModulus / 2 ? static_cast<std::int64_t>(value) - static_cast<std::int64_t>(kModulus)
                                                      : static_cast<std::int64_t>(value);
  return static_cast<std::int32_t>(wrapped);
}

}  // namespace tavrin_test

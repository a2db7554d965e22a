#include "platform/text_numbers.h"

namespace platform {

namespace {

// One UTF-8 character: its code point and length, or a lone byte that stands
// for no character (code point 0xFFFFFFFF) and is passed over as "other".
struct Decoded {
  char32_t code;
  std::size_t length;
};

constexpr char32_t kNotACharacter = 0xFFFFFFFF;

Decoded DecodeAt(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  char32_t code = 0;
  // The second byte's range shuts out overlong forms (an "A0 B5" after E0
  // would otherwise read as the digit 5), surrogates and code points past
  // U+10FFFF.
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0Fu;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07u;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {kNotACharacter, 1};
  }
  if (at + length > text.size() || byte(1) < low || byte(1) > high) return {kNotACharacter, 1};
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0u) != 0x80u) return {kNotACharacter, 1};
    code = (code << 6) | (byte(i) & 0x3Fu);
  }
  return {code, length};
}

// The full-width forms of printable ASCII, the ideographic space, the
// full-width tilde and the white and black stars read as plain characters.
char32_t Fold(char32_t code) {
  if (code >= 0xFF01 && code <= 0xFF5E) return code - 0xFF01 + 0x21;
  switch (code) {
    case 0x3000: return U' ';
    case 0xFFE5: return U'$';  // the yen sign stands where GBK has the dollar
    case 0xFFE3: return U'~';  // the macron stands where GBK has the tilde
    case 0x2606:
    case 0x2605: return U'*';
    default: return code;
  }
}

bool IsSpace(char32_t c) { return c == U' ' || (c >= U'\t' && c <= U'\r'); }

}  // namespace

std::string IntToText(std::int32_t n) { return std::to_string(n); }

std::int32_t TextToInt(std::string_view text) {
  std::size_t at = 0;
  const auto next = [&]() -> char32_t {
    if (at >= text.size()) return 0;
    const Decoded decoded = DecodeAt(text, at);
    at += decoded.length;
    return Fold(decoded.code);
  };
  char32_t c = next();
  while (IsSpace(c)) c = next();
  const bool negative = c == U'-';
  if (c == U'-' || c == U'+') c = next();
  std::uint32_t value = 0;  // unsigned: wrapping is defined
  while (c >= U'0' && c <= U'9') {
    value = value * 10u + static_cast<std::uint32_t>(c - U'0');
    c = next();
  }
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

}  // namespace platform

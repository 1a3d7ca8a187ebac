#include "app/control_characters.h"

#include <algorithm>

namespace vellox {

bool IsControlCharacter(const char* character, std::size_t length) {
  const auto first = static_cast<unsigned char>(character[0]);
  if (first < 0x80) return length == 1 && (first < 0x20 || first == 0x7F);
  char16_t unit;
  return platform::CharacterAsUtf16Unit(character, length, &unit) &&
         ((unit >= 0x80 && unit <= 0x9F) || unit == 0x2028 || unit == 0x2029);
}

std::size_t EscapeByte(unsigned char byte, EscapeStyle style, char* out) {
  static const char kNamed[] = "abtnvfr";  // 0x07 to 0x0D
  if (style == EscapeStyle::kC && byte >= 0x07 && byte <= 0x0D) {
    out[0] = '\\';
    out[1] = kNamed[byte - 0x07];
    return 2;
  }
  const char* digits = style == EscapeStyle::kC ? "0123456789abcdef" : "0123456789ABCDEF";
  out[0] = '\\';
  out[1] = 'x';
  out[2] = digits[byte >> 4];
  out[3] = digits[byte & 0xF];
  return 4;
}

std::string EscapeControls(std::string_view text, EscapeStyle style) {
  // Printable ASCII, a byte a character in every code page, as most text
  // is: nothing to escape.
  if (std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; }))
    return std::string(text);
  std::string escaped;
  escaped.reserve(text.size());
  WriteEscaped(text, style,
               [&](const char* bytes, std::size_t length) { escaped.append(bytes, length); });
  return escaped;
}

}  // namespace vellox

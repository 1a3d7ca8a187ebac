#include "platform/unicode.h"

namespace vellox {
namespace platform {

std::size_t DecodeUtf8(const char* bytes, std::size_t n, char32_t* out) {
  const auto* s = reinterpret_cast<const unsigned char*>(bytes);
  unsigned char b = s[0];
  if (b < 0x80) {
    *out = b;
    return 1;
  }
  std::size_t length;
  char32_t c;
  char32_t minimum;
  if (b >= 0xC2 && b <= 0xDF) {
    length = 2, c = b & 0x1F, minimum = 0x80;
  } else if (b >= 0xE0 && b <= 0xEF) {
    length = 3, c = b & 0x0F, minimum = 0x800;
  } else if (b >= 0xF0 && b <= 0xF4) {
    length = 4, c = b & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (n < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((s[i] & 0xC0) != 0x80) return 0;
    c = (c << 6) | (s[i] & 0x3F);
  }
  if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  *out = c;
  return length;
}

void AppendUtf16(char32_t c, std::u16string* out) {
  if (c < 0x10000) {
    out->push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    out->push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out->push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  }
}

}  // namespace platform
}  // namespace vellox

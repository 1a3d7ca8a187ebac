#include "app/message.h"

#include <cstdio>
#include <string_view>

namespace vellox {
namespace {

// Writes the escape for `c` into `out` (at least five bytes); returns its
// length, 0 when `c` needs none.
std::size_t Escape(unsigned char c, char* out) {
  static const char kNamed[] = "abtnvfr";  // 0x07 to 0x0D
  if (c >= 0x07 && c <= 0x0D) {
    out[0] = '\\';
    out[1] = kNamed[c - 0x07];
    return 2;
  }
  if (c >= 0x20 && c != 0x7F) return 0;
  static const char kHex[] = "0123456789abcdef";
  out[0] = '\\';
  out[1] = 'x';
  out[2] = kHex[c >> 4];
  out[3] = kHex[c & 0xF];
  return 4;
}

}  // namespace

std::string EscapeControls(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  char buffer[5];
  for (char c : text) {
    std::size_t length = Escape(static_cast<unsigned char>(c), buffer);
    if (length == 0) {
      escaped += c;
    } else {
      escaped.append(buffer, length);
    }
  }
  return escaped;
}

void Say(const std::string& message) { Say("", message, ""); }

void Say(const char* before, const std::string& middle, const char* after) {
  std::fputs("vellox: ", stderr);
  for (std::string_view piece : {std::string_view(before), std::string_view(middle),
                                   std::string_view(after)}) {
    char buffer[5];
    for (char c : piece) {
      std::size_t length = Escape(static_cast<unsigned char>(c), buffer);
      if (length == 0) {
        std::fputc(c, stderr);
      } else {
        std::fwrite(buffer, 1, length, stderr);
      }
    }
  }
  std::fputc('\n', stderr);
}

}  // namespace vellox

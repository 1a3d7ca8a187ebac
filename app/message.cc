#include "app/message.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/console.h"

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

void PrintMessage(const std::string& message) { PrintMessage("", message, ""); }

void PrintMessage(const char* before, const std::string& middle, const char* after) {
  // Gathered in a fixed buffer, so that a line costs one write (stderr is
  // unbuffered) and nothing is allocated: this also reports lack of memory.
  // It starts as the prefix, the rest zeroed: no byte of it is ever
  // written out uninitialized.
  char line[1024] = "vellox: ";
  std::size_t used = std::strlen(line);
  auto put = [&](const char* bytes, std::size_t length) {
    if (used + length > sizeof line) {
      platform::WriteText(stderr, line, used);
      used = 0;
    }
    for (std::size_t i = 0; i < length; ++i) line[used++] = bytes[i];
  };
  for (std::string_view piece : {std::string_view(before), std::string_view(middle),
                                 std::string_view(after)}) {
    char buffer[5];
    for (char c : piece) {
      const std::size_t length = Escape(static_cast<unsigned char>(c), buffer);
      if (length == 0) {
        put(&c, 1);
      } else {
        put(buffer, length);
      }
    }
  }
  put("\n", 1);
  platform::WriteText(stderr, line, used);
}

}  // namespace vellox

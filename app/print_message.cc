#include "app/print_message.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "app/control_characters.h"
#include "platform/console.h"

namespace vellox {

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
                                 std::string_view(after)})
    WriteEscaped(piece, EscapeStyle::kC, put);
  put("\n", 1);
  platform::WriteText(stderr, line, used);
}

}  // namespace vellox

#ifndef VELLOX_APP_CONTROL_CHARACTERS_H_
#define VELLOX_APP_CONTROL_CHARACTERS_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/code_page.h"

// What vellox prints may hold any bytes of a file name or of a bookmark
// file. One rule says which characters could break the line or drive the
// terminal, for messages, the progress line and --show alike: C0 controls
// and DEL, and, as the active code page reads them, C1 controls and the
// line and paragraph separators. Each of their bytes is escaped; every
// other character stays as it is.
namespace vellox {

// How an escaped byte is written: messages as C writes it ("\n", "\x1b"),
// --show as "\xHH" whatever the byte.
enum class EscapeStyle { kC, kHex };

// Whether the character of `length` bytes at `character` is one the rule
// escapes. Allocates nothing.
bool IsControlCharacter(const char* character, std::size_t length);

// Writes the escape of `byte` in `style` into `out` (room for four bytes);
// returns its length.
std::size_t EscapeByte(unsigned char byte, EscapeStyle style, char* out);

// Hands `text` to `put(const char* bytes, std::size_t length)` piece by
// piece, each control character escaped in `style`. Allocates nothing
// itself, so that a message can report running out of memory.
template <typename Put>
void WriteEscaped(std::string_view text, EscapeStyle style, Put&& put) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = platform::CharacterLength(text.data() + i, text.size() - i);
    if (IsControlCharacter(text.data() + i, length)) {
      char escape[4];
      for (std::size_t k = 0; k < length; ++k)
        put(escape, EscapeByte(static_cast<unsigned char>(text[i + k]), style, escape));
    } else {
      put(text.data() + i, length);
    }
    i += length;
  }
}

// `text` with its control characters escaped in `style`.
std::string EscapeControls(std::string_view text, EscapeStyle style = EscapeStyle::kC);

}  // namespace vellox

#endif  // VELLOX_APP_CONTROL_CHARACTERS_H_

#ifndef VELLOX_PLATFORM_CONSOLE_H_
#define VELLOX_PLATFORM_CONSOLE_H_

#include <cstddef>
#include <cstdio>
#include <string>

namespace vellox {
namespace platform {

// Writes text for the user (a message, held as the program holds strings)
// to `stream`, standard output or error. On POSIX the bytes as they are.
// On Windows the text is UTF-8: a console is given it in UTF-16, so that
// every character shows; a file or a pipe gets it in the ANSI code page,
// which the programs reading it expect, characters it lacks as its
// default character. A character split between two calls is put together,
// so calls come from one thread at a time. Allocates nothing, so that it
// can report running out of memory.
void WriteText(std::FILE* stream, const char* text, std::size_t length);
inline void WriteText(std::FILE* stream, const std::string& text) {
  WriteText(stream, text.data(), text.size());
}

// Writes text in the active code page (code_page.h: titles and the record
// texts made of them) to `stream`. On POSIX, and on Windows to a file or a
// pipe, the bytes as they are. A Windows console is given it in UTF-16, as
// WriteText gives messages, so that each character shows as the code page
// means it, whatever code page the console itself is set to.
void WriteCodePageText(std::FILE* stream, const std::string& text);

// True when `stream` is a pipe (or socket) whose reading end is closed, so
// that every write to it fails. Always false on Windows.
bool IsPipeWithoutReader(std::FILE* stream);

// One line of a terminal that is rewritten in place, such as a progress
// line. Does nothing when `stream` is no terminal.
class TerminalLine {
 public:
  explicit TerminalLine(std::FILE* stream);
  TerminalLine(const TerminalLine&) = delete;
  TerminalLine& operator=(const TerminalLine&) = delete;

  bool enabled() const { return enabled_; }
  // `text` (one line) replaces what the line showed.
  void Show(const std::string& text);
  // Blanks the line and leaves the cursor at its start, for a message.
  void Clear();

 private:
  std::FILE* const stream_;
  const bool enabled_;
  std::size_t shown_ = 0;  // bytes of the text shown, where the platform needs it
};

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_CONSOLE_H_

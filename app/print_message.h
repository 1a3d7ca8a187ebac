#ifndef VELLOX_APP_MESSAGE_H_
#define VELLOX_APP_MESSAGE_H_

#include <string>

namespace vellox {

// `text` safe to show on a terminal: each control character (a byte below
// 0x20, or 0x7F) as a C escape such as "\n" or "\x1b", so that a file name
// can neither break a message's line nor send the terminal a command.
// Every other byte, multibyte characters included, stays as it is.
std::string EscapeControls(const std::string& text);

// Prints "vellox: " and `message`, escaped, as one line on standard error:
// the one place that writes what the user reads there (the words are
// app/user_messages.h's). Allocates nothing, so that it can report
// running out of memory.
void PrintMessage(const std::string& message);
// The same for a message made of three pieces, without joining them.
void PrintMessage(const char* before, const std::string& middle, const char* after);

}  // namespace vellox

#endif  // VELLOX_APP_MESSAGE_H_

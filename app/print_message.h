#ifndef VELLOX_APP_PRINT_MESSAGE_H_
#define VELLOX_APP_PRINT_MESSAGE_H_

#include <string>

namespace vellox {

// Prints "vellox: " and `message` as one line on standard error, its
// control characters escaped as C writes them (control_characters.h): the
// one place that writes what the user reads there (the words are
// user_messages.h's). Allocates nothing, so that it can report running out
// of memory.
void PrintMessage(const std::string& message);
// The same for a message made of three pieces, without joining them.
void PrintMessage(const char* before, const std::string& middle, const char* after);

}  // namespace vellox

#endif  // VELLOX_APP_PRINT_MESSAGE_H_

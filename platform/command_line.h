#ifndef VELLOX_PLATFORM_COMMAND_LINE_H_
#define VELLOX_PLATFORM_COMMAND_LINE_H_

#include <string>
#include <vector>

#include "base/status.h"

namespace vellox {
namespace platform {

// The program's arguments, argument 0 included, as the program holds
// strings. On POSIX `argv` as it is. On Windows the command line as the
// system keeps it, in UTF-16, split by the C runtime's rules and given in
// UTF-8: `argv` is in the ANSI code page, which has no form for most
// characters a file name may hold. Wildcards are not expanded, as neither
// cmd nor PowerShell expands them.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Refuses an input path that the command line cannot have meant, saying
// how to write it. On Windows no file name holds '"': one in an argument
// was kept there by the rule that a backslash escapes the quote after it,
// so that "C:\My Books\" -j 2 (as Tab completion writes a folder) comes as
// the one argument C:\My Books" -j 2. Nor does one hold '*' or '?', which
// no shell there expands.
Status CheckCommandLinePath(const std::string& path);

// True for an argument that asks for the usage text in the platform's
// own way: "/?" on Windows, where it can name no file; never on POSIX,
// where it names the file "?" at the root.
bool IsHelpArgument(const std::string& argument);

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_COMMAND_LINE_H_

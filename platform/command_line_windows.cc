#include "platform/command_line.h"

#include <windows.h>

#include "platform/wide_path_windows.h"

// The C runtime's own split of the UTF-16 command line (msvcrt.dll, which
// every program here imports), declared by no header. Taking it from
// there spares loading shell32.dll, and the DLLs it loads, at every start.
extern "C" {
struct VelloxStartupInfo {
  int newMode;
};
__declspec(dllimport) int __cdecl __wgetmainargs(int* argc, wchar_t*** argv, wchar_t*** environment,
                                                 int expandWildcards, VelloxStartupInfo* startup);
}

namespace vellox {
namespace platform {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = nullptr;
  wchar_t** environment = nullptr;
  VelloxStartupInfo startup = {0};
  // No wildcards expanded: the runtime leaves the arguments as typed.
  if (__wgetmainargs(&count, &wide, &environment, 0, &startup) < 0 || wide == nullptr)
    return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  arguments.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) arguments.push_back(PathFromWide(std::wstring(wide[i])));
  return arguments;
}

Status CheckCommandLinePath(const std::string& path) {
  const std::size_t quote = path.find('"');
  if (quote != std::string::npos) {
    const std::string meant = path.substr(0, quote);
    return Status::InvalidData("a backslash before a closing quote escapes it; write \"" + meant +
                               "\" or \"" + meant + "\\\\\"");
  }
  // Nor a wildcard, the '?' of a "\\?\" path aside. cmd and PowerShell
  // hand "*.pdf" over as it is typed.
  const std::size_t from = path.compare(0, 4, "\\\\?\\") == 0 ? 4 : 0;
  if (path.find_first_of("*?", from) != std::string::npos)
    return Status::InvalidData(
        "no file name holds '*' or '?', and the shell does not expand them here: give one PDF, "
        "or its folder to convert every PDF below it");
  return Status::OK();
}

bool IsHelpArgument(const std::string& argument) { return argument == "/?"; }

}  // namespace platform
}  // namespace vellox

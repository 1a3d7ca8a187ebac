#include "platform/command_line.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "platform/wide_path_windows.h"

namespace vellox {
namespace platform {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  // Without the system's split, the runtime's own is what there is.
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  arguments.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) arguments.push_back(PathFromWide(std::wstring(wide[i])));
  LocalFree(wide);
  return arguments;
}

Status CheckCommandLinePath(const std::string& path) {
  const std::size_t quote = path.find('"');
  if (quote == std::string::npos) return Status::OK();
  const std::string meant = path.substr(0, quote);
  return Status::InvalidData("a backslash before a closing quote escapes it; write \"" + meant +
                             "\" or \"" + meant + "\\\\\"");
}

}  // namespace platform
}  // namespace vellox

#include "platform/command_line.h"

namespace vellox {
namespace platform {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

// Any byte but NUL and '/' may be in a name.
Status CheckCommandLinePath(const std::string&) { return Status::OK(); }

// "/?" is a file named "?" at the root.
bool IsHelpArgument(const std::string&) { return false; }

}  // namespace platform
}  // namespace vellox

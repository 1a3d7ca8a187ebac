#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "app/exit_code.h"
#include "app/run.h"
#include "app/user_messages.h"
#include "platform/command_line.h"

int main(int argc, char** argv) {
  std::string inputPath;
  try {
    // The arguments as the program holds strings (on Windows, from the
    // system's UTF-16 command line, not the ANSI `argv`).
    const std::vector<std::string> arguments = vellox::platform::CommandLineArguments(argc, argv);
    std::vector<const char*> pointers;
    pointers.reserve(arguments.size());
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
    return vellox::Run(static_cast<int>(pointers.size()), pointers.data(), &inputPath);
  } catch (const std::bad_alloc&) {
    // Everything the run held, a half-written temporary file included, has
    // been undone by the time the exception arrives here.
    vellox::PrintOutOfMemory(inputPath);
    return vellox::kExitFailure;
  }
}

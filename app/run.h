#ifndef VELLOX_APP_RUN_H_
#define VELLOX_APP_RUN_H_

#include <string>

namespace vellox {

// The program's run, from the command line to the exit code (exit_code.h):
// help or version, the bookmarks of a file shown, or one PDF or a folder
// of PDFs converted. `inputPath` receives the resolved path of the file or
// folder as soon as it is known, so that a failure escaping the run can
// still name it.
int Run(int argc, const char* const* argv, std::string* inputPath);

}  // namespace vellox

#endif  // VELLOX_APP_RUN_H_

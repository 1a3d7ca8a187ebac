#ifndef VELLOX_APP_RUN_H_
#define VELLOX_APP_RUN_H_

#include <string>

namespace vellox {

enum ExitCode { kExitSuccess = 0, kExitFailure = 1, kExitUsage = 2 };

// One conversion, from the command line to the bookmark file: returns the
// process's exit code. `inputPath` receives the PDF's path as soon as it
// is known, so that a failure escaping the run can still name the file.
int Run(int argc, const char* const* argv, std::string* inputPath);

}  // namespace vellox

#endif  // VELLOX_APP_RUN_H_

#ifndef VELLOX_APP_EXIT_CODE_H_
#define VELLOX_APP_EXIT_CODE_H_

namespace vellox {

// The program's exit codes: success, failure, wrong usage.
enum ExitCode { kExitSuccess = 0, kExitFailure = 1, kExitUsage = 2 };

}  // namespace vellox

#endif  // VELLOX_APP_EXIT_CODE_H_

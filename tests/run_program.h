#ifndef VELLOX_TESTS_RUN_PROGRAM_H_
#define VELLOX_TESTS_RUN_PROGRAM_H_

#include <string>
#include <sys/types.h>
#include <vector>

namespace vellox {
namespace testing {

struct ProgramResult {
  int exitCode = -1;    // -1 when a signal ended the program
  int signal = 0;
  std::string out;
  std::string err;
};

struct ProgramOptions {
  std::string directory;       // working directory; empty: inherit
  long fileSizeLimit = -1;     // RLIMIT_FSIZE in bytes
  long addressSpaceLimit = -1;  // RLIMIT_AS in bytes
  bool asNobody = false;       // when root, drop to an unprivileged user
  long processLimit = -1;      // RLIMIT_NPROC, set once running as that user
  std::string standardOutput;  // a file to send standard output to; empty: collected
  // When not -1, standard output is a pipe closed once this many bytes
  // are read from it, as `| head -c N` closes it: the program's later
  // writes meet a pipe without a reader.
  long standardOutputBytes = -1;
  std::vector<std::string> environment;  // "NAME=value" entries added
};

// An environment entry that keeps AddressSanitizer's options of this run
// and adds `extra`: for a child the sanitizer cannot work in as it is (a
// preloaded library, no threads to spare). Harmless without a sanitizer.
std::string SanitizerOptions(const std::string& extra);

// Every signal at its default action and none blocked, as a shell starts
// a command, whatever the test runner set up: a signal the test process
// ignores (SIGPIPE, SIGXFSZ) would otherwise hide what it does to the
// program. For a child between fork and exec.
void ResetSignalsAsAShellWould();

// Runs `program` with `arguments` (argument 0 is the program itself) in
// the C locale, with signals as a shell leaves them, and collects its
// exit and output.
ProgramResult RunProgram(const std::string& program,
                         const std::vector<std::string>& arguments,
                         const ProgramOptions& options = ProgramOptions());

}  // namespace testing
}  // namespace vellox

#endif  // VELLOX_TESTS_RUN_PROGRAM_H_

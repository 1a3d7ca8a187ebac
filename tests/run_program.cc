#include "run_program.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "test_util.h"

namespace vellox {
namespace testing {

ProgramResult RunProgram(const std::string& program,
                         const std::vector<std::string>& arguments,
                         const ProgramOptions& options) {
  ScratchDirectory capture;
  std::string outPath = capture.Path("out"), errPath = capture.Path("err");
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  pid_t child = fork();
  if (child == 0) {
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0) _exit(127);
    dup2(out, 1);
    dup2(err, 2);
    if (!options.directory.empty() && chdir(options.directory.c_str()) != 0) _exit(127);
    if (options.fileSizeLimit >= 0) {
      signal(SIGXFSZ, SIG_IGN);
      struct rlimit limit = {static_cast<rlim_t>(options.fileSizeLimit),
                             static_cast<rlim_t>(options.fileSizeLimit)};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (options.asNobody && geteuid() == 0) {
      if (setgid(65534) != 0 || setuid(65534) != 0) _exit(127);
    }
    setenv("LC_ALL", "C", 1);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  ProgramResult result;
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  result.out = ReadFile(outPath);
  result.err = ReadFile(errPath);
  return result;
}

}  // namespace testing
}  // namespace vellox

#include "run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vellox {
namespace testing {

void ResetSignalsAsAShellWould() {
  for (int signal = 1; signal < NSIG; ++signal) {
    if (signal == SIGKILL || signal == SIGSTOP) continue;
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);  // fails harmlessly for numbers that are no signal
  }
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
}

ProgramResult RunProgram(const std::string& program,
                         const std::vector<std::string>& arguments,
                         const ProgramOptions& options) {
  // Pipes rather than files: a file size limit set for the child must not
  // cut what it says.
  int outPipe[2], errPipe[2];
  if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return ProgramResult();
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  pid_t child = fork();
  if (child == 0) {
    dup2(outPipe[1], 1);
    dup2(errPipe[1], 2);
    close(outPipe[0]);
    close(errPipe[0]);
    if (!options.standardOutput.empty()) {
      int fd = open(options.standardOutput.c_str(), O_WRONLY);
      if (fd < 0 || dup2(fd, 1) < 0) _exit(127);
      close(fd);
    }
    if (!options.directory.empty() && chdir(options.directory.c_str()) != 0) _exit(127);
    ResetSignalsAsAShellWould();
    if (options.fileSizeLimit >= 0) {
      struct rlimit limit = {static_cast<rlim_t>(options.fileSizeLimit),
                             static_cast<rlim_t>(options.fileSizeLimit)};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (options.addressSpaceLimit >= 0) {
      struct rlimit limit = {static_cast<rlim_t>(options.addressSpaceLimit),
                             static_cast<rlim_t>(options.addressSpaceLimit)};
      if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(127);
    }
    if (options.asNobody && geteuid() == 0) {
      if (setgid(65534) != 0 || setuid(65534) != 0) _exit(127);
    }
    if (options.processLimit >= 0) {
      // After the change of user, so that the limit binds the program's
      // threads and not the exec itself.
      struct rlimit limit = {static_cast<rlim_t>(options.processLimit),
                             static_cast<rlim_t>(options.processLimit)};
      if (setrlimit(RLIMIT_NPROC, &limit) != 0) _exit(127);
    }
    setenv("LC_ALL", "C", 1);
    for (const std::string& entry : options.environment) {
      std::size_t equals = entry.find('=');
      setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
    }
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(outPipe[1]);
  close(errPipe[1]);
  ProgramResult result;
  struct pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  // How much of each stream is read before its pipe is closed.
  const std::size_t wanted[2] = {
      options.standardOutputBytes >= 0 ? static_cast<std::size_t>(options.standardOutputBytes)
                                       : std::string::npos,
      std::string::npos};
  int open = 2;
  for (int i = 0; i < 2; ++i) {
    if (wanted[i] == 0) {
      close(fds[i].fd);
      fds[i].fd = -1;
      --open;
    }
  }
  while (open > 0 && poll(fds, 2, -1) > 0) {
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const std::size_t room = std::min(sizeof buffer, wanted[i] - sinks[i]->size());
      ssize_t n = read(fds[i].fd, buffer, room);
      if (n > 0) sinks[i]->append(buffer, static_cast<std::size_t>(n));
      if (n <= 0 || sinks[i]->size() == wanted[i]) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

std::string SanitizerOptions(const std::string& extra) {
  const char* current = std::getenv("ASAN_OPTIONS");
  std::string options = "ASAN_OPTIONS=";
  if (current != nullptr && *current != '\0') options += std::string(current) + ":";
  return options + extra;
}

}  // namespace testing
}  // namespace vellox

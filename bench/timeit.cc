// timeit: runs several commands in turn, round after round, and prints
// for each the median wall time, median CPU time (user + system) and peak
// resident memory over the rounds.
//
//   timeit [--runs R] [--warmup W] LABEL [NAME=VALUE...] CMD ARG... [:: LABEL ...]...
//
// NAME=VALUE words before a command set variables in its environment, as
// env(1) would, without the cost of starting env in every timed run.
// Interleaving the commands (a, b, c, a, b, c, ...; each round starting one
// further along) spreads any load from other processes on the machine over
// all of them alike, so their ratios hold even when absolute times drift.
// Peak memory is the kernel's maximum resident set size of the child and
// its waited-for descendants, the figure GNU time prints as %M.
// Output, one tab-separated line per command:
//   LABEL RUNS MEDIAN_WALL_S MIN_WALL_S MEDIAN_CPU_S MEDIAN_RSS_KB MAX_RSS_KB FAILED_RUNS
// Each command's standard output and error go to /dev/null; a run that
// exits non-zero counts as failed (and is still timed).

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Command {
  std::string label;
  std::vector<std::string> argv;
  std::vector<std::string> environment;  // NAME=VALUE, the whole child's
  std::vector<double> wall, cpu;
  std::vector<long> rss;
  int failed = 0;
};

[[noreturn]] void Usage(const char* message) {
  std::fprintf(stderr, "timeit: %s\n", message);
  std::fprintf(stderr,
               "usage: timeit [--runs R] [--warmup W] LABEL [NAME=VALUE...] CMD ARG... "
               "[:: LABEL ...]...\n");
  std::exit(2);
}

double Now() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

double Seconds(const timeval& t) {
  return static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_usec);
}

// True for NAME=VALUE with NAME a shell variable name.
bool IsAssignment(const char* word) {
  const char* equals = std::strchr(word, '=');
  if (equals == nullptr || equals == word) return false;
  for (const char* c = word; c < equals; ++c) {
    const bool letter = (*c >= 'A' && *c <= 'Z') || (*c >= 'a' && *c <= 'z') || *c == '_';
    if (!letter && !(c > word && *c >= '0' && *c <= '9')) return false;
  }
  return true;
}

// The current environment with `settings` (NAME=VALUE) put in.
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& settings) {
  std::vector<std::string> result;
  for (char** entry = environ; *entry != nullptr; ++entry) result.push_back(*entry);
  for (const std::string& setting : settings) {
    const std::string prefix = setting.substr(0, setting.find('=') + 1);
    auto same = [&](const std::string& e) { return e.compare(0, prefix.size(), prefix) == 0; };
    result.erase(std::remove_if(result.begin(), result.end(), same), result.end());
    result.push_back(setting);
  }
  return result;
}

template <typename T>
T Median(std::vector<T> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// One run; false when the command could not be started at all.
bool RunOnce(Command* command, bool record) {
  std::vector<char*> argv;
  for (std::string& arg : command->argv) argv.push_back(&arg[0]);
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (std::string& entry : command->environment) envp.push_back(&entry[0]);
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const double start = Now();
  pid_t pid;
  const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    std::fprintf(stderr, "timeit: cannot run %s: %s\n", argv[0], std::strerror(error));
    return false;
  }
  int status = 0;
  rusage usage;
  while (wait4(pid, &status, 0, &usage) < 0) {
  }
  const double wall = Now() - start;
  if (!record) return true;
  command->wall.push_back(wall);
  command->cpu.push_back(Seconds(usage.ru_utime) + Seconds(usage.ru_stime));
  command->rss.push_back(usage.ru_maxrss);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ++command->failed;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5, warmup = 1;
  int i = 1;
  for (; i < argc; i += 2) {
    const std::string key = argv[i];
    if (key != "--runs" && key != "--warmup") break;
    if (i + 1 >= argc) Usage("option without value");
    const int value = std::atoi(argv[i + 1]);
    if (key == "--runs") runs = value;
    else warmup = value;
  }
  if (runs < 1 || warmup < 0) Usage("bad --runs or --warmup");
  std::vector<Command> commands;
  while (i < argc) {
    Command command;
    command.label = argv[i++];
    std::vector<std::string> settings;
    for (; i < argc && IsAssignment(argv[i]); ++i) settings.push_back(argv[i]);
    command.environment = EnvironmentWith(settings);
    for (; i < argc && std::strcmp(argv[i], "::") != 0; ++i) command.argv.push_back(argv[i]);
    if (i < argc) ++i;  // the separator
    if (command.argv.empty()) Usage("a label without a command");
    commands.push_back(std::move(command));
  }
  if (commands.empty()) Usage("no command");

  const std::size_t n = commands.size();
  for (int round = 0; round < warmup + runs; ++round) {
    for (std::size_t k = 0; k < n; ++k) {
      Command& command = commands[(k + static_cast<std::size_t>(round)) % n];
      if (!RunOnce(&command, round >= warmup)) return 1;
    }
  }
  for (const Command& c : commands) {
    std::printf("%s\t%d\t%.6f\t%.6f\t%.6f\t%ld\t%ld\t%d\n", c.label.c_str(), runs,
                Median(c.wall), *std::min_element(c.wall.begin(), c.wall.end()), Median(c.cpu),
                Median(c.rss), *std::max_element(c.rss.begin(), c.rss.end()), c.failed);
  }
  return 0;
}

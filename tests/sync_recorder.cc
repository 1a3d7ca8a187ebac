// Preloaded into the program by the syncing tests: records, in order, each
// rename and each flush to the disk in the file named by VELLOX_SYNC_LOG,
// one line each, then does the real call.

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void Record(const char* line) {
  const char* log = std::getenv("VELLOX_SYNC_LOG");
  if (log == nullptr) return;
  int fd = open(log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return;
  // One write per line: lines from several threads do not interleave.
  ssize_t written = write(fd, line, std::strlen(line));
  static_cast<void>(written);
  close(fd);
}

template <typename Function>
Function Next(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int fsync(int fd) {
  struct stat info;
  bool folder = fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
  Record(folder ? "fsync folder\n" : "fsync file\n");
  return Next<int (*)(int)>("fsync")(fd);
}

extern "C" int syncfs(int fd) {
  Record("syncfs\n");
  return Next<int (*)(int)>("syncfs")(fd);
}

extern "C" int rename(const char* from, const char* to) {
  Record("rename\n");
  return Next<int (*)(const char*, const char*)>("rename")(from, to);
}

// Preloaded into the program by the interrupt tests: the first pwrite of
// more than one byte writes only the first half, then sends the program
// the signal numbered VELLOX_PWRITE_SIGNAL and returns the short count,
// so that the signal arrives in the middle of a rewrite in place. It
// returns after a pause: a handler on another thread that does not wait
// for the rewrite ends the program meanwhile, as it would during a long
// write.

#include <dlfcn.h>
#include <signal.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

namespace {

std::atomic<bool> fired{false};

using PwriteFunction = ssize_t (*)(int, const void*, size_t, off_t);

ssize_t Interrupting(PwriteFunction real, int fd, const void* bytes, size_t count,
                     off_t offset) {
  const char* signal = std::getenv("VELLOX_PWRITE_SIGNAL");
  if (signal == nullptr || count < 2 || fired.exchange(true))
    return real(fd, bytes, count, offset);
  const ssize_t written = real(fd, bytes, count / 2, offset);
  kill(getpid(), std::atoi(signal));
  const struct timespec pause = {0, 200000000};
  nanosleep(&pause, nullptr);
  return written;
}

}  // namespace

extern "C" ssize_t pwrite(int fd, const void* bytes, size_t count, off_t offset) {
  static const auto real = reinterpret_cast<PwriteFunction>(dlsym(RTLD_NEXT, "pwrite"));
  return Interrupting(real, fd, bytes, count, offset);
}

// The same call under its large-file name, whichever the program uses.
extern "C" ssize_t pwrite64(int fd, const void* bytes, size_t count, off_t offset) {
  static const auto real = reinterpret_cast<PwriteFunction>(dlsym(RTLD_NEXT, "pwrite64"));
  return Interrupting(real, fd, bytes, count, offset);
}

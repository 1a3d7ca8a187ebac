#include "platform/files.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "platform/interrupts.h"

namespace vellox {
namespace platform {
namespace {

// Holds back interrupts in this thread while a temporary file and its
// entry in the interrupt table change together, so that an interrupt
// handled here sees both or neither.
class InterruptsHeld {
 public:
  InterruptsHeld() {
    sigset_t interrupts;
    sigemptyset(&interrupts);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&interrupts, signal);
    pthread_sigmask(SIG_BLOCK, &interrupts, &previous);
  }
  ~InterruptsHeld() { pthread_sigmask(SIG_SETMASK, &previous, nullptr); }
  InterruptsHeld(const InterruptsHeld&) = delete;
  InterruptsHeld& operator=(const InterruptsHeld&) = delete;

 private:
  sigset_t previous;
};

}  // namespace

Status CreateTemporaryFile(const std::string& target, std::FILE** file,
                           std::string* temporaryPath) {
  *file = nullptr;
  static const char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device device;
  std::mt19937 random(device() ^ static_cast<unsigned>(getpid()));
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string path = target + ".tmp-";
    for (int i = 0; i < 8; ++i) path += kLetters[random() % (sizeof kLetters - 1)];
    InterruptsHeld held;
    if (!BeginCreatingTemporaryFile()) {
      // An interrupt is ending the program. Failing here would send the
      // writer to its in-place fallback and leave a half-written file, so
      // wait for the end instead.
      for (int second = 0; second < 30; ++second) sleep(1);
      return Status::IoError("interrupted");
    }
    // Mode 0666 lets the umask decide, as a plain create would.
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    const int error = errno;
    if (fd >= 0) TrackTemporaryFile(path);
    EndCreatingTemporaryFile();
    if (fd < 0) {
      if (error == EEXIST) continue;
      return ErrorStatus(error);
    }
    std::FILE* stream = fdopen(fd, "wb");
    if (stream == nullptr) {
      int error = errno;
      close(fd);
      RemoveFile(path);
      return ErrorStatus(error);
    }
    *file = stream;
    *temporaryPath = path;
    return Status::OK();
  }
  return Status::IoError("cannot find a free temporary file name");
}

Status SyncFile(std::FILE* file) {
  if (fsync(fileno(file)) != 0) return ErrorStatus(errno);
  return Status::OK();
}

Status CommitTemporaryFile(const std::string& temporaryPath, const std::string& target,
                           Sync sync) {
  struct stat existing;
  if (stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
    // A replaced file keeps its permissions; failing that, the umask's stand.
    chmod(temporaryPath.c_str(), existing.st_mode & 07777);
  }
  InterruptsHeld held;
  if (rename(temporaryPath.c_str(), target.c_str()) != 0)
    return ErrorStatus(errno);
  ForgetTemporaryFile(temporaryPath);
  if (sync == Sync::kNow) {
    // The new file is in place already; a folder that cannot be synced
    // (some file systems refuse) makes it no less so.
    std::string folder = target.substr(0, target.find_last_of('/') + 1);
    int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
      fsync(fd);
      close(fd);
    }
  }
  return Status::OK();
}

Status CheckMayWrite(const std::string& target, bool* exists) {
  *exists = access(target.c_str(), F_OK) == 0;
  if (*exists && access(target.c_str(), W_OK) != 0) return ErrorStatus(errno);
  return Status::OK();
}

Status OverwriteFile(const std::string& target, const std::string& bytes, Sync sync) {
  int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return ErrorStatus(errno);
  struct stat info;
  int error = fstat(fd, &info) != 0 ? errno : 0;
  if (error == 0 && !S_ISREG(info.st_mode)) error = EINVAL;
  const off_t length = static_cast<off_t>(bytes.size());
  if (error == 0 && length > info.st_size) {
    error = posix_fallocate(fd, 0, length);
    if (error != 0) {
      // Nothing of the old content has changed yet: put its length back.
      int restored = ftruncate(fd, info.st_size);
      static_cast<void>(restored);
    }
  }
  for (std::size_t done = 0; error == 0 && done < bytes.size();) {
    ssize_t written = pwrite(fd, bytes.data() + done, bytes.size() - done,
                             static_cast<off_t>(done));
    if (written < 0 && errno != EINTR) error = errno;
    if (written > 0) done += static_cast<std::size_t>(written);
  }
  if (error == 0 && ftruncate(fd, length) != 0) error = errno;
  if (error == 0 && sync == Sync::kNow && fsync(fd) != 0) error = errno;
  if (close(fd) != 0 && error == 0) error = errno;
  return error == 0 ? Status::OK() : ErrorStatus(error);
}

Status SyncFileSystem(const std::string& folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return ErrorStatus(errno);
#ifdef __linux__
  int error = syncfs(fd) != 0 ? errno : 0;
#else
  sync();
  int error = 0;
#endif
  close(fd);
  return error == 0 ? Status::OK() : ErrorStatus(error);
}

void RemoveFile(const std::string& path) {
  InterruptsHeld held;
  unlink(path.c_str());
  ForgetTemporaryFile(path);
}

std::string ErrorText(int error) { return std::strerror(error); }

Status ErrorStatus(int error) {
  return Status(error == ENOENT || error == ENOTDIR ? StatusCode::kNotFound : StatusCode::kIoError,
                ErrorText(error));
}

}  // namespace platform
}  // namespace vellox

#include "platform/files.h"

#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

// Writes with write(2) directly: the caller buffers.
class PosixWritableFile final : public WritableFile {
 public:
  explicit PosixWritableFile(int fd) : fd(fd) {}
  ~PosixWritableFile() override {
    if (fd >= 0) close(fd);
  }
  PosixWritableFile(const PosixWritableFile&) = delete;
  PosixWritableFile& operator=(const PosixWritableFile&) = delete;

  Status Append(std::string_view bytes) override {
    while (!bytes.empty()) {
      ssize_t written = write(fd, bytes.data(), bytes.size());
      if (written < 0 && errno == EINTR) continue;
      // A write that stops short is retried for the rest, which reports
      // the reason (a full disk, the file size limit).
      if (written <= 0) return ErrorStatus(written < 0 ? errno : EIO);
      bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return Status::OK();
  }

  Status Sync() override {
    if (fsync(fd) != 0) return ErrorStatus(errno);
    return Status::OK();
  }

  Status Close() override {
    const int result = close(fd);
    fd = -1;
    if (result != 0) return ErrorStatus(errno);
    return Status::OK();
  }

 private:
  int fd;
};

// An interrupt is ending the program. Failing instead would send the
// writer on (to its in-place fallback, to the next file), so wait for the
// end.
Status AwaitTheEnd() {
  for (int second = 0; second < 30; ++second) sleep(1);
  return Status::IoError("interrupted");
}

// The refusal of what is no regular file: at `path` itself, or at
// `reached`, where its symbolic links lead.
Status NotARegularFile(const std::string& path, const std::string& reached) {
  if (reached == path) return Status::IoError("not a regular file");
  return Status::IoError("a symbolic link to '" + reached +
                         "', which is not a regular file");
}

// The last path element's extension ("pdr" for "a/book.pdr"), lowered;
// empty when it has none.
std::string LowerExtension(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  const std::size_t slash = path.rfind('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string extension = path.substr(dot + 1);
  for (char& c : extension)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return extension;
}

// Where the symbolic link `link` leads, taken from the link's folder when
// relative.
Status FollowLink(const std::string& link, std::string* next) {
  std::string text(PATH_MAX, '\0');
  const ssize_t length = readlink(link.c_str(), &text[0], text.size());
  if (length < 0) return ErrorStatus(errno);
  if (static_cast<std::size_t>(length) == text.size()) return ErrorStatus(ENAMETOOLONG);
  text.resize(static_cast<std::size_t>(length));
  *next = !text.empty() && text[0] == '/' ? text : link.substr(0, link.rfind('/') + 1) + text;
  return Status::OK();
}

// As many links as the kernel follows in a path.
constexpr int kMostLinks = 40;

}  // namespace

Status ResolveWriteTarget(const std::string& path, std::string* target) {
  std::string current = path;
  for (int links = 0;; ++links) {
    struct stat info;
    // No file (yet), or one the write may replace; a failure to look is
    // left for the write to report.
    if (lstat(current.c_str(), &info) != 0 || S_ISREG(info.st_mode)) break;
    if (!S_ISLNK(info.st_mode)) return NotARegularFile(path, current);
    if (links == kMostLinks) return ErrorStatus(ELOOP);
    Status followed = FollowLink(current, &current);
    if (!followed.ok()) return followed;
  }
  const std::string extension = LowerExtension(path);
  if (current != path && (extension.empty() || LowerExtension(current) != extension))
    return Status::IoError("a symbolic link to '" + current + "', which is not a ." +
                           extension + " file");
  *target = current;
  return Status::OK();
}

Status CreateNewFile(const std::string& path, std::unique_ptr<WritableFile>* file, bool* taken) {
  file->reset();
  *taken = false;
  InterruptsHeld held;
  if (!BeginCreatingTemporaryFile()) return AwaitTheEnd();
  // Mode 0666 lets the umask decide, as a plain create would.
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  const int error = errno;
  if (fd >= 0) TrackTemporaryFile(path);
  EndCreatingTemporaryFile();
  if (fd < 0) {
    *taken = error == EEXIST;
    return ErrorStatus(error);
  }
  file->reset(new PosixWritableFile(fd));
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

Status OverwriteFile(const std::string& target, std::string_view bytes, Sync sync) {
  // Neither through a link put there since the target was resolved, nor
  // into a FIFO, whose open would wait for a reader: a regular file only.
  int fd = open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ELOOP ? Status::IoError("a symbolic link") : ErrorStatus(errno);
  struct stat info;
  int error = fstat(fd, &info) != 0 ? errno : 0;
  if (error == 0 && !S_ISREG(info.st_mode)) {
    close(fd);
    return NotARegularFile(target, target);
  }
  const off_t length = static_cast<off_t>(bytes.size());
  if (error == 0) {
    // From the first change of the file to its last, an interrupt waits:
    // the file holds the old bytes or all the new, never a mix.
    InterruptsHeld held;
    if (!BeginRewritingInPlace()) {
      close(fd);
      return AwaitTheEnd();
    }
    if (length > info.st_size) {
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
    EndRewritingInPlace();
  }
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

std::uint32_t ProcessId() { return static_cast<std::uint32_t>(getpid()); }

}  // namespace platform
}  // namespace vellox

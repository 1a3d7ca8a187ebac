#include "platform/files.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "platform/system_message_windows.h"

namespace vellox {
namespace platform {
namespace {

// Seeds the name generator from more than the runtime's random device,
// which some runtimes implement as a fixed sequence: two runs started at
// once must not walk through the same names.
std::mt19937 NameGenerator() {
  std::random_device device;
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  std::seed_seq seed{device(), static_cast<unsigned>(GetCurrentProcessId()),
                     static_cast<unsigned>(counter.LowPart),
                     static_cast<unsigned>(counter.HighPart)};
  return std::mt19937(seed);
}

}  // namespace

Status CreateTemporaryFile(const std::string& target, std::FILE** file,
                           std::string* temporaryPath) {
  *file = nullptr;
  static const char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::mt19937 random = NameGenerator();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string path = target + ".tmp-";
    for (int i = 0; i < 8; ++i) path += kLetters[random() % (sizeof kLetters - 1)];
    // Exclusive, so that the name is this run's alone; binary, so that
    // stdio writes the bytes as given; not inherited by child processes.
    int fd = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                   _S_IREAD | _S_IWRITE);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return ErrorStatus(errno);
    }
    std::FILE* stream = _fdopen(fd, "wb");
    if (stream == nullptr) {
      int error = errno;
      _close(fd);
      DeleteFileA(path.c_str());
      return ErrorStatus(error);
    }
    *file = stream;
    *temporaryPath = path;
    return Status::OK();
  }
  return Status::IoError("cannot find a free temporary file name");
}

Status SyncFile(std::FILE* file) {
  if (_commit(_fileno(file)) != 0) return ErrorStatus(errno);
  return Status::OK();
}

// The new file was created in the target's directory, so it already has
// the permissions a plain create there would give it. The move is written
// through, so there is no folder to sync afterwards.
Status CommitTemporaryFile(const std::string& temporaryPath, const std::string& target,
                           Sync /*sync*/) {
  if (!MoveFileExA(temporaryPath.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return Win32ErrorStatus(GetLastError());
  return Status::OK();
}

Status CheckMayWrite(const std::string& target, bool* exists) {
  *exists = _access(target.c_str(), 0) == 0;
  if (*exists && _access(target.c_str(), 2) != 0) return ErrorStatus(errno);
  return Status::OK();
}

Status OverwriteFile(const std::string& target, const std::string& bytes, Sync sync) {
  int fd = _open(target.c_str(), _O_WRONLY | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) return ErrorStatus(errno);
  const long long oldLength = _filelengthi64(fd);
  const long long length = static_cast<long long>(bytes.size());
  int error = oldLength < 0 ? errno : 0;
  // Growing the file first claims the room; on failure the old length
  // comes back with the old content untouched.
  if (error == 0 && length > oldLength) {
    error = _chsize_s(fd, length);
    if (error != 0) _chsize_s(fd, oldLength);
  }
  for (std::size_t done = 0; error == 0 && done < bytes.size();) {
    unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    int written = _write(fd, bytes.data() + done, chunk);
    if (written < 0) error = errno;
    if (written > 0) done += static_cast<std::size_t>(written);
  }
  if (error == 0) error = _chsize_s(fd, length);
  if (error == 0 && sync == Sync::kNow && _commit(fd) != 0) error = errno;
  if (_close(fd) != 0 && error == 0) error = errno;
  return error == 0 ? Status::OK() : ErrorStatus(error);
}

// Flushing a whole volume takes administrator rights on Windows. Files
// written with Sync::kLater rely on the system's own flushing; removable
// drives default to "quick removal", which does not cache writes.
Status SyncFileSystem(const std::string& /*folder*/) { return Status::OK(); }

void RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

std::string ErrorText(int error) {
  std::string text = std::strerror(error);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

Status ErrorStatus(int error) {
  return Status(error == ENOENT || error == ENOTDIR ? StatusCode::kNotFound : StatusCode::kIoError,
                ErrorText(error));
}

}  // namespace platform
}  // namespace vellox

#include "platform/random_access_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/files.h"

namespace vellox {
namespace platform {
namespace {

// Reads with pread, so no shared file position, and no mapping: a file
// truncated under us gives short reads, not SIGBUS.
class PosixRandomAccessFile final : public RandomAccessFile {
 public:
  PosixRandomAccessFile(int fd, std::uint64_t size) : fd(fd), size(size) {}
  ~PosixRandomAccessFile() override { close(fd); }
  PosixRandomAccessFile(const PosixRandomAccessFile&) = delete;
  PosixRandomAccessFile& operator=(const PosixRandomAccessFile&) = delete;

  std::uint64_t Size() const override { return size; }

  Status Read(std::uint64_t offset, std::size_t length, std::string* out) const override {
    if (offset >= size) {
      out->clear();
      return Status::OK();
    }
    if (length > size - offset) length = static_cast<std::size_t>(size - offset);
    // A buffer used before is reused as it is, not cleared first.
    out->resize(length);
    std::size_t done = 0;
    while (done < length) {
      ssize_t got = pread(fd, &(*out)[done], length - done, static_cast<off_t>(offset + done));
      if (got < 0) {
        if (errno == EINTR) continue;
        int error = errno;
        out->clear();
        return ErrorStatus(error);
      }
      if (got == 0) break;  // the file shrank
      done += static_cast<std::size_t>(got);
    }
    out->resize(done);
    return Status::OK();
  }

 private:
  const int fd;
  const std::uint64_t size;
};

}  // namespace

Status OpenRandomAccessFile(const std::string& path, std::unique_ptr<RandomAccessFile>* file) {
  file->reset();
  // Opening a FIFO for reading blocks until a writer comes: look first.
  struct stat before;
  if (stat(path.c_str(), &before) != 0) return ErrorStatus(errno);
  if (S_ISDIR(before.st_mode)) return Status::IoError("is a directory");
  if (!S_ISREG(before.st_mode)) return Status::IoError("not a regular file");

  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return ErrorStatus(errno);
  // The name may have been pointed elsewhere between the two looks.
  struct stat after;
  if (fstat(fd, &after) != 0) {
    int error = errno;
    close(fd);
    return ErrorStatus(error);
  }
  if (!S_ISREG(after.st_mode) || after.st_dev != before.st_dev || after.st_ino != before.st_ino) {
    close(fd);
    return Status::IoError("not a regular file");
  }
  file->reset(new PosixRandomAccessFile(fd, static_cast<std::uint64_t>(after.st_size)));
  return Status::OK();
}

}  // namespace platform
}  // namespace vellox

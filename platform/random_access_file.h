#ifndef VELLOX_PLATFORM_RANDOM_ACCESS_FILE_H_
#define VELLOX_PLATFORM_RANDOM_ACCESS_FILE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "base/status.h"

namespace vellox {
namespace platform {

// A regular file opened for reading by offset: nothing is read until
// asked for, so a reader can take the few ranges it needs from a file of
// any size.
class RandomAccessFile {
 public:
  virtual ~RandomAccessFile() = default;

  // The size when the file was opened.
  virtual std::uint64_t Size() const = 0;

  // Reads up to `length` bytes at `offset` into `out` (replacing what it
  // held). Fewer bytes only at the end of the file, or when the file
  // shrank under us: never a crash.
  virtual Status Read(std::uint64_t offset, std::size_t length, std::string* out) const = 0;
};

// Opens `path` (file-name bytes). The kind is checked before any call that
// could block, so a FIFO, socket or device is refused at once ("not a
// regular file"), as is a directory ("is a directory").
Status OpenRandomAccessFile(const std::string& path, std::unique_ptr<RandomAccessFile>* file);

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_RANDOM_ACCESS_FILE_H_

#ifndef VELLOX_PLATFORM_ATOMIC_FILE_H_
#define VELLOX_PLATFORM_ATOMIC_FILE_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "base/status.h"
#include "base/status_or.h"
#include "platform/files.h"

namespace vellox {
namespace platform {

// Writes one file in one piece: the bytes go to a new temporary file
// beside the target, and only Commit puts that file in the target's
// place. An AtomicFile destroyed without a successful Commit removes its
// temporary file, so a failed or interrupted write never damages an
// existing file.
//
// Permissions count as for a write in place: a target the user may not
// write is refused, not replaced; one they may write in a folder where no
// temporary file can be created is rewritten in place, from the bytes
// gathered in memory, only at Commit.
//
// A target that is a symbolic link is written where the link leads, and
// the link stays, as far as ResolveWriteTarget (files.h) follows it.
class AtomicFile {
 public:
  // Opens `path` for writing. With Sync::kNow, Commit returns only once
  // the file is on the disk.
  static StatusOr<std::unique_ptr<AtomicFile>> Open(const std::string& path, Sync sync);

  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Buffered, so that many small appends cost few system calls. The first
  // failure is kept for Commit; nothing is written after it.
  void Append(std::string_view bytes);

  // Writes what is buffered and puts the file in the target's place (or
  // writes the gathered bytes over it). Reports the first failure of any
  // write, the sync, the close or the rename; on failure the target is as
  // it was. Once only.
  Status Commit();

 private:
  // Enough that a write rarely costs a system call of its own.
  static constexpr std::size_t kBufferSize = 64 * 1024;

  AtomicFile(std::string path, std::string target, Sync sync);
  // Hands the buffer to the temporary file.
  void Flush();

  const std::string path;    // as opened
  const std::string target;  // where its links lead: the file written
  const Sync sync;
  // Null when rewriting in place (the buffer then gathers the whole
  // file) and once committed.
  std::unique_ptr<WritableFile> file;
  std::string temporaryPath;
  std::string buffer;
  Status status;  // the first failure
  bool committed = false;
};

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_ATOMIC_FILE_H_

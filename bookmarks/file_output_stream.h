#ifndef VELLOX_BOOKMARKS_FILE_OUTPUT_STREAM_H_
#define VELLOX_BOOKMARKS_FILE_OUTPUT_STREAM_H_

#include <cstddef>
#include <cstdio>
#include <string>

#include "bookmarks/output_stream.h"
#include "platform/files.h"
#include "base/status.h"

namespace vellox {

// Writes a file in one piece: the bytes go to a new temporary file beside
// the target, and only Commit puts that file in the target's place. A
// stream destroyed without a successful Commit removes its temporary file,
// so a failed or interrupted write never damages an existing file.
//
// Permissions count as for a write in place: a target the user may not
// write is refused, not replaced; one they may write in a folder where no
// temporary file can be created is rewritten in place, from the bytes
// gathered in memory, only at Commit.
class FileOutputStream : public OutputStream {
 public:
  // With Sync::kNow, Commit returns only once the file is on the disk.
  explicit FileOutputStream(const std::string& path, platform::Sync sync = platform::Sync::kNow);

  bool IsOpen() const { return file != nullptr || inPlace; }
  // Why the stream could not be opened; OK while it is open.
  const Status& OpenStatus() const { return openStatus; }

  // Flushes and closes the file and renames it over the target (or writes
  // the gathered bytes over it). Reports the first failure of any write,
  // the flush, the close or the rename.
  Status Commit();

  void WriteU8(std::uint8_t value) override;
  void WriteU16BE(std::uint16_t value) override;
  void WriteU16LE(std::uint16_t value) override;
  void WriteU24BE(std::uint32_t value) override;
  void WriteU24LE(std::uint32_t value) override;
  void WriteU32BE(std::uint32_t value) override;
  void WriteU32LE(std::uint32_t value) override;
  void WriteU64BE(std::uint64_t value) override;
  void WriteU64LE(std::uint64_t value) override;
  void WriteBytes(const void* data, std::int32_t length) override;

 protected:
  ~FileOutputStream() override;

 private:
  // One fwrite per call; after the first failure nothing more is written.
  void Write(const void* data, std::size_t length);
  void WriteBigEndian(std::uint64_t value, int size);
  void WriteLittleEndian(std::uint64_t value, int size);
  Status Fail(const std::string& reason);

  std::string path;           // the target
  platform::Sync sync;
  std::string temporaryPath;  // where the bytes go until Commit
  std::FILE* file = nullptr;
  bool inPlace = false;  // gathering in `gathered` for OverwriteFile
  std::string gathered;
  Status openStatus = Status::OK();
  int writeError = 0;  // errno of the first failed write, or 0
};

}  // namespace vellox

#endif  // VELLOX_BOOKMARKS_FILE_OUTPUT_STREAM_H_

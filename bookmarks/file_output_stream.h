#ifndef VELLOX_BOOKMARKS_FILE_OUTPUT_STREAM_H_
#define VELLOX_BOOKMARKS_FILE_OUTPUT_STREAM_H_

#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/status.h"
#include "bookmarks/output_stream.h"
#include "platform/atomic_file.h"

namespace vellox {

// An output stream into a file that is written in one piece: the writes
// put their bytes in order and hand them to the file, which only Commit
// puts in the target's place. Released without a successful Commit, the
// stream leaves the target as it was (see platform::AtomicFile).
class FileOutputStream : public OutputStream {
 public:
  explicit FileOutputStream(std::unique_ptr<platform::AtomicFile> file);

  // Reports the first failure of any write or of the commit itself.
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
  ~FileOutputStream() override = default;

 private:
  void Write(const void* data, std::size_t length);
  void WriteBigEndian(std::uint64_t value, int size);
  void WriteLittleEndian(std::uint64_t value, int size);

  const std::unique_ptr<platform::AtomicFile> file;
};

}  // namespace vellox

#endif  // VELLOX_BOOKMARKS_FILE_OUTPUT_STREAM_H_

#include "bookmarks/bookmark_file_decoder.h"

#include <cstdint>

#include "bookmarks/bookmark_format.h"

namespace vellox {
namespace {

class Cursor {
 public:
  explicit Cursor(const std::string& bytes) : bytes(bytes) {}

  std::size_t offset() const { return position; }
  bool Has(std::size_t n) const { return bytes.size() - position >= n; }
  std::uint32_t Read(std::size_t n) {  // big-endian, n <= 4, after Has(n)
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < n; ++i)
      value = (value << 8) | static_cast<unsigned char>(bytes[position++]);
    return value;
  }
  std::string ReadText(std::size_t n) {
    std::string text = bytes.substr(position, n);
    position += n;
    return text;
  }

 private:
  const std::string& bytes;
  std::size_t position = 0;
};

Status Malformed(const std::string& fault, std::size_t offset) {
  return Status::InvalidData(fault + " at byte " + std::to_string(offset));
}

}  // namespace

StatusOr<std::vector<BookmarkEntry>> DecodeBookmarkFile(const std::string& bytes) {
  Cursor in(bytes);
  using namespace bookmark_format;
  if (!in.Has(kFileHeaderBytes)) return Malformed("the header is incomplete", bytes.size());
  if (in.Read(4) != kMagic) return Malformed("wrong magic number", 0);
  if (in.Read(1) != kVersion) return Malformed("unknown version", 4);
  if (in.Read(4) != kReserved) return Malformed("reserved field is not zero", 5);
  std::uint32_t count = in.Read(4);
  // Every record takes at least its header: a count the file cannot hold
  // is refused before anything is reserved for it.
  if (count > (bytes.size() - kFileHeaderBytes) / kRecordHeaderBytes)
    return Malformed("more records announced than the file holds", 9);
  std::vector<BookmarkEntry> records;
  records.reserve(count);

  for (std::uint32_t i = 0; i < count; ++i) {
    std::size_t start = in.offset();
    if (!in.Has(kRecordHeaderBytes))
      return Malformed("record " + std::to_string(i + 1) + " is incomplete", start);
    if (in.Read(1) != 0) return Malformed("record does not start with 0", start);
    std::int32_t page = static_cast<std::int32_t>(in.Read(4));
    std::uint32_t length = in.Read(2);
    if (length > kMaxRecordText)
      return Malformed("text longer than " + std::to_string(kMaxRecordText) + " bytes",
                       start + 5);
    if (!in.Has(length))
      return Malformed("record " + std::to_string(i + 1) + " is incomplete", start);
    records.push_back(BookmarkEntry{page, in.ReadText(length)});
  }
  if (in.Has(1)) return Malformed("data after the last record", in.offset());
  return records;
}

}  // namespace vellox

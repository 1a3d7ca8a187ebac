#ifndef VELLOX_BOOKMARKS_BOOKMARK_LIST_H_
#define VELLOX_BOOKMARKS_BOOKMARK_LIST_H_

#include <cstdint>
#include <string>
#include <vector>

#include "bookmarks/bookmark_entry.h"
#include "bookmarks/bookmark_format.h"
#include "platform/files.h"
#include "base/status.h"

namespace vellox {

class OutputStream;

// The bookmarks in outline order, and their writer: a Kindle bookmark file
// (".pdr"), big-endian throughout:
//   magic DE AD CA BB, the byte 1, a 32-bit 0, the 32-bit entry count, then
//   per entry: the byte 0, the page (signed 32-bit), the 16-bit text length
//   L (at most 65000) and L bytes of text.
// An entry's text is its page label and a space, followed by the entry's
// own text. The label is page + 1, zero-padded to the width of the largest
// label; or the entry's printed label where it has one, zero-padded to the
// same width when it is all digits, as it is otherwise.
class BookmarkList {
 public:
  static constexpr std::size_t kMaxRecordText = bookmark_format::kMaxRecordText;
  // A printed label is cut to this many bytes, on a character boundary.
  static constexpr std::size_t kMaxPrintedLabel = 256;

  void Append(BookmarkEntry entry) { entries.push_back(std::move(entry)); }
  const std::vector<BookmarkEntry>& Entries() const { return entries; }
  std::uint32_t LabelWidth() const { return labelWidth; }

  // Writes the whole file at `path`, replacing any file there only once
  // every byte has been written; on failure the old file stays untouched
  // and the status gives the reason alone, for the caller to name the path.
  // `sync` tells whether it is on the disk on return (see platform::Sync).
  Status SaveToFile(const std::string& path, platform::Sync sync = platform::Sync::kNow);
  // The file's header: magic number, version, reserved field.
  static void WriteHeader(OutputStream* stream);
  // The entry count and all records.
  void WriteEntries(OutputStream* stream);
  // One record.
  void WriteEntry(const BookmarkEntry& entry, OutputStream* stream);
  // The digit count of the largest page + 1 (compared as unsigned) among
  // entries without a printed label, or the length of the longest printed
  // label that is all digits, whichever is more.
  void UpdateLabelWidth();

  // The text that WriteEntry stores for `entry`: label, then text, cut.
  // Valid after UpdateLabelWidth.
  std::string RecordText(const BookmarkEntry& entry) const;

 private:
  // The label of `entry`, with its space.
  std::string Label(const BookmarkEntry& entry) const;
  // How many bytes of `text` fit behind a label of `labelLength` bytes.
  static std::size_t FittingTextLength(const std::string& text, std::size_t labelLength);

  std::vector<BookmarkEntry> entries;
  std::uint32_t labelWidth = 0;
};

}  // namespace vellox

#endif  // VELLOX_BOOKMARKS_BOOKMARK_LIST_H_

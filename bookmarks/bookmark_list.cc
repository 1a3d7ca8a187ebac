#include "bookmarks/bookmark_list.h"

#include <cstdio>
#include <memory>

#include "bookmarks/file_output_stream.h"
#include "platform/code_page.h"

namespace vellox {

Status BookmarkList::SaveToFile(const std::string& path, platform::Sync sync) {
  std::unique_ptr<FileOutputStream, ReleaseReference> stream(
      new FileOutputStream(path, sync));
  if (!stream->IsOpen()) return stream->OpenStatus();
  stream->WriteU32BE(0xDEADCABB);
  stream->WriteU8(1);
  stream->WriteU32BE(0);
  WriteEntries(stream.get());
  return stream->Commit();
}

void BookmarkList::WriteEntries(OutputStream* stream) {
  UpdateLabelWidth();
  stream->WriteU32BE(static_cast<std::uint32_t>(entries.size()));
  for (const BookmarkEntry& entry : entries) WriteEntry(entry, stream);
}

void BookmarkList::WriteEntry(const BookmarkEntry& entry, OutputStream* stream) {
  stream->WriteU8(0);
  stream->WriteU32BE(static_cast<std::uint32_t>(entry.page));
  char label[16];
  int labelLength = FormatLabel(entry.page, label);
  std::size_t textLength = FittingTextLength(entry.text, labelLength);
  stream->WriteU16BE(static_cast<std::uint16_t>(labelLength + textLength));
  stream->WriteBytes(label, labelLength);
  stream->WriteBytes(entry.text.data(), static_cast<std::int32_t>(textLength));
}

std::string BookmarkList::RecordText(const BookmarkEntry& entry) const {
  char label[16];
  int labelLength = FormatLabel(entry.page, label);
  return std::string(label, labelLength) +
         entry.text.substr(0, FittingTextLength(entry.text, labelLength));
}

int BookmarkList::FormatLabel(std::int32_t page, char (&label)[16]) const {
  // Two steps, so that width 0 gives "%00d ": zero flags and no width. The
  // label counts page + 1 with 32-bit wrap-around.
  char format[16];
  std::snprintf(format, sizeof format, "%%0%ud ", labelWidth);
  return std::snprintf(label, sizeof label, format,
                       static_cast<std::int32_t>(static_cast<std::uint32_t>(page) + 1u));
}

std::size_t BookmarkList::FittingTextLength(const std::string& text, int labelLength) {
  // Label and text are cut together to at most 65000 bytes, never inside a
  // character. The label is at most 12 single-byte characters, so it
  // survives whole and the text's characters step the same without it.
  return platform::CharacterBoundaryAtOrBelow(
      text, kMaxRecordText - static_cast<std::size_t>(labelLength));
}

void BookmarkList::UpdateLabelWidth() {
  std::uint32_t largest = 0;
  for (const BookmarkEntry& entry : entries) {
    std::uint32_t label = static_cast<std::uint32_t>(entry.page) + 1u;
    if (label > largest) largest = label;
  }
  std::uint32_t digits = 0;
  for (; largest > 0; largest /= 10) ++digits;
  labelWidth = digits;
}

}  // namespace vellox

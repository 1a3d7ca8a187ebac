#include "bookmarks/bookmark_list.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>

#include "bookmarks/file_output_stream.h"
#include "platform/atomic_file.h"
#include "platform/code_page.h"

namespace vellox {
namespace {

bool IsDigits(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(),
                                      [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

Status BookmarkList::SaveToFile(const std::string& path, platform::Sync sync) {
  StatusOr<std::unique_ptr<platform::AtomicFile>> file = platform::AtomicFile::Open(path, sync);
  if (!file.ok()) return file.status();
  std::unique_ptr<FileOutputStream, ReleaseReference> stream(
      new FileOutputStream(std::move(file).value()));
  WriteHeader(stream.get());
  WriteEntries(stream.get());
  return stream->Commit();
}

void BookmarkList::WriteHeader(OutputStream* stream) {
  stream->WriteU32BE(bookmark_format::kMagic);
  stream->WriteU8(bookmark_format::kVersion);
  stream->WriteU32BE(bookmark_format::kReserved);
}

void BookmarkList::WriteEntries(OutputStream* stream) {
  UpdateLabelWidth();
  stream->WriteU32BE(static_cast<std::uint32_t>(entries.size()));
  for (const BookmarkEntry& entry : entries) WriteEntry(entry, stream);
}

void BookmarkList::WriteEntry(const BookmarkEntry& entry, OutputStream* stream) {
  stream->WriteU8(0);
  stream->WriteU32BE(static_cast<std::uint32_t>(entry.page));
  const std::string label = Label(entry);
  std::size_t textLength = FittingTextLength(entry.text, label.size());
  stream->WriteU16BE(static_cast<std::uint16_t>(label.size() + textLength));
  stream->WriteBytes(label.data(), static_cast<std::int32_t>(label.size()));
  stream->WriteBytes(entry.text.data(), static_cast<std::int32_t>(textLength));
}

std::string BookmarkList::RecordText(const BookmarkEntry& entry) const {
  const std::string label = Label(entry);
  return label + entry.text.substr(0, FittingTextLength(entry.text, label.size()));
}

std::string BookmarkList::Label(const BookmarkEntry& entry) const {
  if (entry.label) {
    std::string label = entry.label->substr(
        0, platform::CharacterBoundaryAtOrBelow(*entry.label, kMaxPrintedLabel));
    if (IsDigits(label) && label.size() < labelWidth)
      label.insert(0, labelWidth - label.size(), '0');
    return label + ' ';
  }
  // Zero-padded to the width (none for width 0; the width is at most
  // kMaxPrintedLabel). The label counts page + 1 with 32-bit wrap-around.
  const int width = static_cast<int>(labelWidth);
  const auto number = static_cast<std::int32_t>(static_cast<std::uint32_t>(entry.page) + 1u);
  char buffer[32];
  const int length = std::snprintf(buffer, sizeof buffer, "%0*d ", width, number);
  if (length < static_cast<int>(sizeof buffer)) return std::string(buffer, length);
  // Padded to a printed label wider than any page number.
  std::string label(static_cast<std::size_t>(length), '\0');
  std::snprintf(&label[0], label.size() + 1, "%0*d ", width, number);
  return label;
}

std::size_t BookmarkList::FittingTextLength(const std::string& text, std::size_t labelLength) {
  // Label and text are cut together to at most 65000 bytes, never inside a
  // character. The label is far shorter and ends on a character boundary,
  // so it survives whole and the text's characters step the same without it.
  return platform::CharacterBoundaryAtOrBelow(text, kMaxRecordText - labelLength);
}

void BookmarkList::UpdateLabelWidth() {
  std::uint32_t largest = 0;
  std::size_t printedWidth = 0;
  for (const BookmarkEntry& entry : entries) {
    if (entry.label) {
      const std::size_t length =
          platform::CharacterBoundaryAtOrBelow(*entry.label, kMaxPrintedLabel);
      if (IsDigits(entry.label->substr(0, length)) && length > printedWidth) printedWidth = length;
      continue;
    }
    std::uint32_t label = static_cast<std::uint32_t>(entry.page) + 1u;
    if (label > largest) largest = label;
  }
  std::uint32_t digits = 0;
  for (; largest > 0; largest /= 10) ++digits;
  labelWidth = std::max(digits, static_cast<std::uint32_t>(printedWidth));
}

}  // namespace vellox

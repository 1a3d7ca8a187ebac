#include "app/show.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "app/control_characters.h"
#include "app/conversion_report.h"
#include "app/convert_file.h"
#include "app/exit_code.h"
#include "app/output_path.h"
#include "app/print_message.h"
#include "app/user_messages.h"
#include "bookmarks/bookmark_file_decoder.h"
#include "platform/console.h"
#include "platform/random_access_file.h"

namespace vellox {
namespace {

// Through the platform's file boundary, which refuses what is no regular
// file (a FIFO would block) before it opens it.
Status ReadWholeFile(const std::string& path, std::string* bytes) {
  std::unique_ptr<platform::RandomAccessFile> file;
  Status status = platform::OpenRandomAccessFile(path, &file);
  if (!status.ok()) return status;
  if (file->Size() > bytes->max_size()) return Status::IoError("too large");
  return file->Read(0, static_cast<std::size_t>(file->Size()), bytes);
}

// "PAGE<tab>TEXT", TEXT with its control characters as \xHH: a bookmark
// file from elsewhere may hold any bytes.
void PrintLine(std::int32_t page, const std::string& text) {
  platform::WriteCodePageText(
      stdout, std::to_string(page) + "\t" + EscapeControls(text, EscapeStyle::kHex) + "\n");
}

// Prints the failure; gives the exit code for it.
int ReportFailure(const Status& failure) {
  PrintMessage(failure.message());
  return kExitFailure;
}

int ShowBookmarkFile(const std::string& path) {
  std::string bytes;
  Status status = ReadWholeFile(path, &bytes);
  if (!status.ok()) return ReportFailure(CannotRead(path, status));
  StatusOr<std::vector<BookmarkEntry>> records = DecodeBookmarkFile(bytes);
  if (!records.ok()) return ReportFailure(NotABookmarkFile(path, records.status()));
  for (const BookmarkEntry& record : *records) PrintLine(record.page, record.text);
  return kExitSuccess;
}

int ShowPdf(const std::string& path, const OutlineOptions& options) {
  BookmarkList list;
  if (ReportConversion(path, ReadBookmarks(path, options, &list)) == Outcome::kFailed)
    return kExitFailure;
  list.UpdateLabelWidth();
  for (const BookmarkEntry& entry : list.Entries()) PrintLine(entry.page, list.RecordText(entry));
  return kExitSuccess;
}

}  // namespace

int ShowBookmarks(const std::string& path, const OutlineOptions& options) {
  // A failed write to standard output is the caller's to report.
  return HasExtension(path, ".pdr") ? ShowBookmarkFile(path) : ShowPdf(path, options);
}

}  // namespace vellox

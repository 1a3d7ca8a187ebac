#include "app/show.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "app/convert_file.h"
#include "app/message.h"
#include "app/output_path.h"
#include "app/run.h"
#include "app/user_messages.h"
#include "bookmarks/bookmark_file_decoder.h"
#include "platform/code_page.h"
#include "platform/com.h"
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

// True for a character that could end the line or drive the terminal:
// C0 controls and DEL, and, as the active code page reads it, C1 controls
// and the line and paragraph separators.
bool IsControl(const char* character, std::size_t length) {
  const auto first = static_cast<unsigned char>(character[0]);
  if (first < 0x80) return length == 1 && (first < 0x20 || first == 0x7F);
  BSTR wide = platform::AllocStringFromBytes(std::string(character, length));
  const bool control = SysStringLen(wide) == 1 && ((wide[0] >= 0x80 && wide[0] <= 0x9F) ||
                                                   wide[0] == 0x2028 || wide[0] == 0x2029);
  SysFreeString(wide);
  return control;
}

// `text` as one printable line: each byte of a control character written
// as \xHH. A bookmark file from elsewhere may hold any bytes.
std::string PrintableText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = platform::CharacterLength(text.data() + i, text.size() - i);
    if (IsControl(text.data() + i, length)) {
      for (std::size_t k = 0; k < length; ++k) {
        char escape[5];
        std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(text[i + k]));
        out += escape;
      }
    } else {
      out.append(text, i, length);
    }
    i += length;
  }
  return out;
}

void PrintLine(std::int32_t page, const std::string& text) {
  platform::WriteCodePageText(stdout, std::to_string(page) + "\t" + PrintableText(text) + "\n");
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
  Conversion conversion = ReadBookmarks(path, options, &list);
  for (const std::string& warning : OutlineWarnings(path, conversion.outline))
    PrintMessage(warning);
  if (!conversion.status.ok()) return ReportFailure(conversion.status);
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

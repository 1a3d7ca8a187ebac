#include "app/show.h"

#include <cerrno>
#include <cstdio>
#include <vector>

#include "app/convert_file.h"
#include "app/message.h"
#include "app/run.h"
#include "bookmarks/bookmark_file_decoder.h"
#include "platform/files.h"

namespace vellox {
namespace {

bool IsBookmarkFileName(const std::string& path) {
  if (path.size() < 4) return false;
  std::string extension = path.substr(path.size() - 4);
  for (char& c : extension)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return extension == ".pdr";
}

Status ReadWholeFile(const std::string& path, std::string* bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return Status::Error(platform::ErrorText(errno));
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes->append(buffer, n);
  int error = std::ferror(file) ? (errno != 0 ? errno : EIO) : 0;
  std::fclose(file);
  if (error != 0) return Status::Error(platform::ErrorText(error));
  return Status::OK();
}

void PrintLine(std::int32_t page, const std::string& text) {
  std::fprintf(stdout, "%d\t", static_cast<int>(page));
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

int Fail(const std::string& message) {
  Say(message);
  return kExitFailure;
}

int ShowBookmarkFile(const std::string& path) {
  std::string bytes;
  Status status = ReadWholeFile(path, &bytes);
  if (!status.ok()) return Fail("cannot read '" + path + "': " + status.message());
  std::vector<BookmarkEntry> records;
  DecodeError error;
  if (!DecodeBookmarkFile(bytes, &records, &error))
    return Fail("'" + path + "' is not a bookmark file: " + error.reason + " at byte " +
                std::to_string(error.offset));
  for (const BookmarkEntry& record : records) PrintLine(record.page, record.text);
  return kExitSuccess;
}

int ShowPdf(const std::string& path, std::int32_t depthLimit) {
  BookmarkList list;
  Conversion conversion = ReadBookmarks(path, depthLimit, &list);
  for (const std::string& warning : conversion.warnings)
    Say("warning: " + warning);
  if (!conversion.status.ok()) return Fail(conversion.status.message());
  list.UpdateLabelWidth();
  for (const BookmarkEntry& entry : list.Entries()) PrintLine(entry.page, list.RecordText(entry));
  return kExitSuccess;
}

}  // namespace

int ShowBookmarks(const std::string& path, std::int32_t depthLimit) {
  // A failed write to standard output is the caller's to report.
  return IsBookmarkFileName(path) ? ShowBookmarkFile(path) : ShowPdf(path, depthLimit);
}

}  // namespace vellox

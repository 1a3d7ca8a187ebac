#ifndef VELLOX_APP_CONVERT_FILE_H_
#define VELLOX_APP_CONVERT_FILE_H_

#include <string>

#include "base/status.h"
#include "bookmarks/bookmark_list.h"
#include "outline/bookmarks_from_outline.h"
#include "platform/files.h"

namespace vellox {

// What converting one PDF came to. Nothing is printed on the way: the
// caller decides what to say, and when (conversion_report.h).
struct Conversion {
  Status status;          // a failure, in the user's words (user_messages.h)
  OutlineReport outline;  // what the outline was like, warnings included
};

// Reads the outline of the PDF at `inputPath` with the chosen reader and
// appends its bookmarks to `list`, as `options` say.
Conversion ReadBookmarks(const std::string& inputPath, const OutlineOptions& options,
                         BookmarkList* list);

// Reads the outline and writes the bookmark file beside the PDF. On
// failure nothing is written and an existing bookmark file stays as it was.
// A folder's conversions pass Sync::kLater and sync once at the end.
Conversion ConvertFile(const std::string& inputPath, const OutlineOptions& options,
                       platform::Sync sync = platform::Sync::kNow);

}  // namespace vellox

#endif  // VELLOX_APP_CONVERT_FILE_H_

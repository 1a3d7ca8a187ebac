#ifndef VELLOX_APP_CONVERT_FILE_H_
#define VELLOX_APP_CONVERT_FILE_H_

#include <string>

#include "base/status.h"
#include "bookmarks/bookmark_list.h"
#include "outline/outline_walker.h"

namespace vellox {

// What converting one PDF came to. Nothing is printed on the way: the
// caller decides what to say, and when.
struct Conversion {
  Status status;          // a failure, in the user's words (app/user_messages.h)
  OutlineReport outline;  // what the walk noticed, warnings included
};

// Reads the outline of the PDF at `inputPath` into `list`, as `options`
// say.
Conversion ReadBookmarks(const std::string& inputPath, const OutlineOptions& options,
                         BookmarkList* list);

// Reads the outline and writes the bookmark file beside the PDF. On
// failure nothing is written and an existing bookmark file stays as it was.
// A folder's conversions pass Sync::kLater and sync once at the end.
Conversion ConvertFile(const std::string& inputPath, const OutlineOptions& options,
                       platform::Sync sync = platform::Sync::kNow);

}  // namespace vellox

#endif  // VELLOX_APP_CONVERT_FILE_H_

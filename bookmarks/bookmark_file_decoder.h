#ifndef VELLOX_BOOKMARKS_BOOKMARK_FILE_DECODER_H_
#define VELLOX_BOOKMARKS_BOOKMARK_FILE_DECODER_H_

#include <string>
#include <vector>

#include "base/status_or.h"
#include "bookmarks/bookmark_entry.h"

namespace vellox {

// Reads the bytes of a bookmark file back into its records: each entry's
// page, and its record text (label and title together, as stored). The
// whole file must be well formed, with nothing after the last record;
// where it is not, fails with kInvalidData and a reason that says what is
// wrong and where: "wrong magic number at byte 0".
StatusOr<std::vector<BookmarkEntry>> DecodeBookmarkFile(const std::string& bytes);

}  // namespace vellox

#endif  // VELLOX_BOOKMARKS_BOOKMARK_FILE_DECODER_H_

#ifndef VELLOX_BOOKMARKS_BOOKMARK_FILE_DECODER_H_
#define VELLOX_BOOKMARKS_BOOKMARK_FILE_DECODER_H_

#include <cstddef>
#include <string>
#include <vector>

#include "bookmarks/bookmark_entry.h"

namespace vellox {

// Where and why a bookmark file is malformed.
struct DecodeError {
  std::string reason;
  std::size_t offset = 0;
};

// Reads the bytes of a bookmark file back into its records: each entry's
// page, and its record text (label and title together, as stored). The
// whole file must be well formed, with nothing after the last record.
bool DecodeBookmarkFile(const std::string& bytes, std::vector<BookmarkEntry>* records,
                        DecodeError* error);

}  // namespace vellox

#endif  // VELLOX_BOOKMARKS_BOOKMARK_FILE_DECODER_H_

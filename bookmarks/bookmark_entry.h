#ifndef VELLOX_BOOKMARKS_BOOKMARK_ENTRY_H_
#define VELLOX_BOOKMARKS_BOOKMARK_ENTRY_H_

#include <cstdint>
#include <optional>
#include <string>

namespace vellox {

// One outline node as the bookmark file will hold it.
struct BookmarkEntry {
  std::int32_t page;  // page index as the reader reported it; first page 0
  std::string text;   // active code page: indentation, then the title
  // The page's printed label (active code page), when the document's is
  // wanted and known; otherwise the label is the page number.
  std::optional<std::string> label = std::nullopt;
};

}  // namespace vellox

#endif  // VELLOX_BOOKMARKS_BOOKMARK_ENTRY_H_

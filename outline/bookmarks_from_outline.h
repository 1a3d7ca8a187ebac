#ifndef VELLOX_OUTLINE_BOOKMARKS_FROM_OUTLINE_H_
#define VELLOX_OUTLINE_BOOKMARKS_FROM_OUTLINE_H_

#include <string>

#include "bookmarks/bookmark_list.h"
#include "outline/outline_options.h"
#include "outline/outline_tree.h"

namespace vellox {

// What the outline was like, besides its bookmarks.
struct OutlineReport {
  bool hasOutline = false;  // the top level, when kept, has a node
  bool depthCut = false;    // kept levels below kMaxOutlineDepth were left out
  std::string warning;      // the reader's note on a file read with problems
};

// Appends the nodes of `tree` to `list` in outline order, as `options`
// say: down to the depth limit and never below kMaxOutlineDepth levels,
// each title in the active code page (up to its first NUL) after two
// spaces per level, the page a node leads to (0 where it leads to none),
// and its page's printed label where one is wanted and not empty. The one
// place where an outline becomes bookmarks, whichever reader read it.
OutlineReport AppendBookmarks(const OutlineTree& tree, const OutlineOptions& options,
                              BookmarkList* list);

}  // namespace vellox

#endif  // VELLOX_OUTLINE_BOOKMARKS_FROM_OUTLINE_H_

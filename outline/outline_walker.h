#ifndef VELLOX_OUTLINE_OUTLINE_WALKER_H_
#define VELLOX_OUTLINE_OUTLINE_WALKER_H_

#include <cstdint>
#include <string>

#include "bookmarks/bookmark_list.h"
#include "outline/pdf_component.h"
#include "platform/status.h"

namespace vellox {

// Levels below this depth are never walked, whatever the limit says: an
// outline nested this deep is broken or hostile, and the walk recurses.
constexpr std::int32_t kMaxOutlineDepth = 512;

// What the walk noticed besides its entries.
struct OutlineReport {
  bool hasOutline = false;  // the root had at least one child
  bool depthCut = false;    // nodes below kMaxOutlineDepth were left out
  std::string warning;      // the component's note on a file read with problems
};

using PdfDocumentFactory = HRESULT (*)(IPdfDocument** document);

// Opens the PDF at `path` and appends one entry per outline node, in
// pre-order, down to `depthLimit` (-1: no limit; any other negative value
// admits no node). Fails, appending nothing, when the document cannot be
// read; the message names the path and the reason.
Status ReadOutline(const std::string& path, BookmarkList* list,
                   std::int32_t depthLimit, OutlineReport* report,
                   PdfDocumentFactory create = CreatePdfDocument);

// Appends the children of the node under `cursor` (at `depth`) and their
// descendants, and leaves the cursor where it found it.
void WalkLevel(IPdfOutline* cursor, BookmarkList* list, std::int32_t depth,
               std::int32_t depthLimit, OutlineReport* report);

}  // namespace vellox

#endif  // VELLOX_OUTLINE_OUTLINE_WALKER_H_

#ifndef VELLOX_OUTLINE_OUTLINE_WALKER_H_
#define VELLOX_OUTLINE_OUTLINE_WALKER_H_

#include <cstdint>
#include <string>

#include "bookmarks/bookmark_list.h"
#include "outline/pdf_component.h"
#include "base/status.h"

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

// What the walk takes from the outline.
struct OutlineOptions {
  // Deepest level walked: -1 no limit; any other negative value admits
  // no node.
  std::int32_t depthLimit = -1;
  // Each entry gets the printed label of its page, where the component
  // knows one (IPdfPageLabel).
  bool printedLabels = false;
};

using PdfDocumentFactory = HRESULT (*)(IPdfDocument** document);

// Opens the PDF at `path` and appends one entry per outline node, in
// pre-order, as `options` say. Fails, appending nothing, when the document
// cannot be read, with the component's reason (no path: the caller names
// the file) and the code it stands for.
Status ReadOutline(const std::string& path, BookmarkList* list, const OutlineOptions& options,
                   OutlineReport* report, PdfDocumentFactory create = CreatePdfDocument);

// The same with only a depth limit.
inline Status ReadOutline(const std::string& path, BookmarkList* list, std::int32_t depthLimit,
                          OutlineReport* report, PdfDocumentFactory create = CreatePdfDocument) {
  OutlineOptions options;
  options.depthLimit = depthLimit;
  return ReadOutline(path, list, options, report, create);
}

// Appends the children of the node under `cursor` (at `depth`) and their
// descendants, and leaves the cursor where it found it.
void WalkLevel(IPdfOutline* cursor, BookmarkList* list, std::int32_t depth,
               const OutlineOptions& options, OutlineReport* report);

}  // namespace vellox

#endif  // VELLOX_OUTLINE_OUTLINE_WALKER_H_

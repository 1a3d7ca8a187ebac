#ifndef VELLOX_PDF_PAGE_INDEX_H_
#define VELLOX_PDF_PAGE_INDEX_H_

#include <cstdint>
#include <unordered_map>

#include "pdf/object.h"
#include "pdf/object_source.h"

namespace vellox {
namespace pdf {

// The index of each page object in page-tree order, as every PDF viewer
// numbers pages, from one walk over the whole tree.
//
// The tree's /Count entries are not trusted to stand in for reading the
// page objects: a node whose count equals its number of kids may still
// hold a subtree among them, and numbering its kids as pages then shifts
// every later page. Reading each page object is cheap when only the page
// objects are parsed, which is what a lazy reader does.
class PageIndex {
 public:
  static constexpr std::int32_t kNone = -1;

  // Walks the tree under the catalog's /Pages. A page or subtree listed
  // twice counts twice, as viewers show it, its objects keeping the index
  // of their first place; a kid among its own ancestors (a loop) is
  // skipped. A node that is neither a page nor an inner node counts as a
  // page, as viewers do.
  PageIndex(ObjectSource* source, const Object& catalog);

  // The index of the page `reference` names, kNone when it names no page.
  std::int32_t IndexOf(const Object& reference) const;
  std::int32_t PageCount() const { return pageCount; }

 private:
  std::int32_t pageCount = 0;
  std::unordered_map<std::uint64_t, std::int32_t> indices;
};

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_PDF_PAGE_INDEX_H_

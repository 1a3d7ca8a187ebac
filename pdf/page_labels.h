#ifndef VELLOX_PDF_PAGE_LABELS_H_
#define VELLOX_PDF_PAGE_LABELS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "outline/outline_tree.h"
#include "pdf/budgets.h"
#include "pdf/object.h"
#include "pdf/object_source.h"

namespace vellox {
namespace pdf {

// Numbering styles of a page label range, as /S names them; kNone labels
// pages by the prefix alone.
enum class LabelStyle : char {
  kNone = 0,
  kDecimal = 'D',
  kUpperRoman = 'R',
  kLowerRoman = 'r',
  kUpperLetters = 'A',
  kLowerLetters = 'a',
};

// The label of the page `indexInRange` pages into a range: `prefix`, then
// the number start + indexInRange in `style` (decimal; roman, with one M
// per thousand past 3999; letters A..Z, AA..ZZ, AAA..). A start below 1
// counts as 1. Nothing when the label would be longer than
// kMaxPageLabelLength.
std::optional<std::u16string> FormatPageLabel(LabelStyle style, const std::u16string& prefix,
                                              std::int64_t start, std::int64_t indexInRange);

// One entry of a document's /PageLabels: the pages from `firstPage` up to
// the next range's first page.
struct PageLabelRange {
  std::int32_t firstPage = 0;
  LabelStyle style = LabelStyle::kNone;
  std::u16string prefix;
  std::int64_t start = 1;
};

// A document's printed page labels.
class PageLabels {
 public:
  PageLabels() = default;
  // Ranges in any order; of two with the same first page, the first given
  // wins.
  explicit PageLabels(std::vector<PageLabelRange> ranges);

  bool empty() const { return ranges.empty(); }
  // The label of page `pageIndex` (the first page is 0), its whitespace and
  // control characters folded as a title's are; nothing when no range
  // covers the page or its label is too long. An empty label is a label
  // (a range with neither style nor prefix).
  std::optional<std::u16string> LabelOf(std::int32_t pageIndex) const;

 private:
  std::vector<PageLabelRange> ranges;  // by first page
};

// Reads the number tree under the catalog's /PageLabels; a NUL in a prefix
// is left out. Entries that are not what a page label should be are skipped; a node met twice (a loop)
// is read once, and the walk stops after a budget of nodes. Throws what
// `source` throws.
PageLabels ReadPageLabels(ObjectSource& source, const Object& catalog);

// Gives every node of `tree` whose page is known and labelled that label,
// into tree->labels; nodes on one page share one copy. Empty labels are
// left out: the bookmark then shows its page number.
void LabelOutline(const PageLabels& labels, OutlineTree* tree);

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_PDF_PAGE_LABELS_H_

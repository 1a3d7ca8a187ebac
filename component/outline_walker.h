#ifndef VELLOX_COMPONENT_OUTLINE_WALKER_H_
#define VELLOX_COMPONENT_OUTLINE_WALKER_H_

#include <string>

#include "base/status_or.h"
#include "component/com_reference.h"
#include "component/pdf_component.h"
#include "outline/outline_options.h"
#include "outline/outline_tree.h"

namespace vellox {

// Opens the PDF at `path` with `document`, a PDF document component just
// created (the walk gives its reference back), and walks the component's
// outline cursor once into a tree, in pre-order: down to the depth limit of
// `options` and no deeper than kMaxOutlineDepth levels (the walk recurses;
// the tree says when it stopped there), asking an item for its printed
// label only when labels are wanted. A file the component read with
// problems gives its note as the tree's repairNote. Fails when the
// component cannot open the file or offers no outline, with the
// component's reason (no path: the caller names the file).
StatusOr<OutlineTree> WalkComponentOutline(ComReference<IPdfDocument> document,
                                           const std::string& path,
                                           const OutlineOptions& options);

}  // namespace vellox

#endif  // VELLOX_COMPONENT_OUTLINE_WALKER_H_

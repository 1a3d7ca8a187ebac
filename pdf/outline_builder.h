#ifndef VELLOX_PDF_OUTLINE_BUILDER_H_
#define VELLOX_PDF_OUTLINE_BUILDER_H_

#include "outline/outline_tree.h"
#include "pdf/object_source.h"

namespace vellox {
namespace pdf {

// Reads the outline of the document behind `source` into `tree`: each
// node with its title and the index of the page it leads to. A node met
// again (a loop, or one node under two parents) ends the chain that led
// to it, so every node is listed once.
//
// Throws what `source` throws. The tree is consistent after each node,
// and the pages of the nodes read before a failure are filled in before it
// propagates, so a reader that repairs damage can keep what was read.
// A catalog that names an outline which cannot be read is a failure too
// (ReadFault::kDamaged), never an empty outline.
void BuildOutlineTree(ObjectSource* source, OutlineTree* tree);

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_PDF_OUTLINE_BUILDER_H_

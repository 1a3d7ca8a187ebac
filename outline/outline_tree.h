#ifndef VELLOX_PDF_OUTLINE_TREE_H_
#define VELLOX_PDF_OUTLINE_TREE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vellox {
namespace pdf {

// A document's outline as plain memory, so that the cursor never touches
// the PDF again: nodes in pre-order, linked by index, with every title in
// one shared buffer.
struct OutlineTree {
  static constexpr std::int32_t kNone = -1;

  struct Node {
    std::int32_t parent = kNone;
    std::int32_t firstChild = kNone;
    std::int32_t nextSibling = kNone;
    std::int32_t page = kNone;  // page index, kNone when unknown
    // The target page's printed label (its /PageLabels entry) as an index
    // into `labels`; kNone when it has none. Nodes on one page share one.
    std::int32_t label = kNone;
    std::size_t titleStart = 0;
    std::size_t titleLength = 0;
  };

  OutlineTree() : nodes(1) {}  // nodes[0] is the root; it has no title

  std::u16string Title(std::int32_t node) const {
    const Node& n = nodes[static_cast<std::size_t>(node)];
    return titles.substr(n.titleStart, n.titleLength);
  }
  // Null when the node has no printed label.
  const std::u16string* Label(std::int32_t node) const {
    const Node& n = nodes[static_cast<std::size_t>(node)];
    return n.label == kNone ? nullptr : &labels[static_cast<std::size_t>(n.label)];
  }

  std::vector<Node> nodes;
  std::u16string titles;
  std::vector<std::u16string> labels;
  // What a reader that repaired the file to read it has to say about the
  // damage, one short line; empty when the file read cleanly.
  std::string repairNote;
};

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_PDF_OUTLINE_TREE_H_

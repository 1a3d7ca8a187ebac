#ifndef VELLOX_OUTLINE_OUTLINE_TREE_H_
#define VELLOX_OUTLINE_OUTLINE_TREE_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vellox {

// A document's outline as plain memory: what every reader produces, ours,
// the one over qpdf and the walk of the registered component alike, and
// what the bookmarks are made from (bookmarks_from_outline.h). Nodes in
// pre-order, linked by index, with every title in one shared buffer.
struct OutlineTree {
  static constexpr std::int32_t kNone = -1;

  struct Node {
    std::int32_t parent = kNone;
    std::int32_t firstChild = kNone;
    std::int32_t nextSibling = kNone;
    // The page index (the first page is 0) as the reader gives it; none
    // when the node leads to no page.
    std::optional<std::int32_t> page;
    // The target page's printed label (its /PageLabels entry) as an index
    // into `labels`; kNone when it has none. Nodes on one page may share one.
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
  // What the reader has to say about a file it could read only with
  // problems (qpdf's repair, the component's note), one short line; empty
  // when the file read cleanly.
  std::string repairNote;
  // Set by a reader that stopped at kMaxOutlineDepth levels while there
  // were more (the component's walker, which recurses); the other readers
  // hold every level.
  bool deeperLevelsLeftOut = false;
};

}  // namespace vellox

#endif  // VELLOX_OUTLINE_OUTLINE_TREE_H_

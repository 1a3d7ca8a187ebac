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
    std::size_t titleStart = 0;
    std::size_t titleLength = 0;
  };

  OutlineTree() : nodes(1) {}  // nodes[0] is the root; it has no title

  std::u16string Title(std::int32_t node) const {
    const Node& n = nodes[static_cast<std::size_t>(node)];
    return titles.substr(n.titleStart, n.titleLength);
  }

  std::vector<Node> nodes;
  std::u16string titles;
};

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_PDF_OUTLINE_TREE_H_

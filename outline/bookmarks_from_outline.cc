#include "outline/bookmarks_from_outline.h"

#include <optional>
#include <utility>
#include <vector>

#include "platform/code_page.h"

namespace vellox {
namespace {

using Index = std::int32_t;

const OutlineTree::Node& NodeAt(const OutlineTree& tree, Index node) {
  return tree.nodes[static_cast<std::size_t>(node)];
}

BookmarkEntry EntryOf(const OutlineTree& tree, Index node, std::int32_t depth,
                      const OutlineOptions& options) {
  std::string text(2 * static_cast<std::size_t>(depth), ' ');
  text += platform::TextFromUtf16(tree.Title(node).c_str());
  BookmarkEntry entry{NodeAt(tree, node).page.value_or(0), std::move(text)};
  if (options.printedLabels) {
    const std::u16string* label = tree.Label(node);
    if (label != nullptr) {
      std::string printed = platform::TextFromUtf16(label->c_str());
      if (!printed.empty()) entry.label = std::move(printed);
    }
  }
  return entry;
}

}  // namespace

OutlineReport AppendBookmarks(const OutlineTree& tree, const OutlineOptions& options,
                              BookmarkList* list) {
  OutlineReport report;
  report.warning = tree.repairNote;
  if (tree.deeperLevelsLeftOut && options.Admits(kMaxOutlineDepth)) report.depthCut = true;

  // Pre-order by the links, without recursion: one entry per open level,
  // the next sibling to take there.
  std::vector<Index> next;
  auto open = [&](Index parent) {
    const auto depth = static_cast<std::int32_t>(next.size());
    const Index first = NodeAt(tree, parent).firstChild;
    if (first == OutlineTree::kNone || !options.Admits(depth)) return;
    if (depth >= kMaxOutlineDepth) {
      report.depthCut = true;
      return;
    }
    if (depth == 0) report.hasOutline = true;
    next.push_back(first);
  };
  open(0);
  while (!next.empty()) {
    const Index node = next.back();
    if (node == OutlineTree::kNone) {
      next.pop_back();
      continue;
    }
    const auto depth = static_cast<std::int32_t>(next.size()) - 1;
    list->Append(EntryOf(tree, node, depth, options));
    next.back() = NodeAt(tree, node).nextSibling;
    open(node);
  }
  return report;
}

}  // namespace vellox

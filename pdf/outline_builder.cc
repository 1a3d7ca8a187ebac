#include "pdf/outline_builder.h"

#include <limits>
#include <memory>
#include <unordered_set>
#include <utility>
#include <vector>

#include "pdf/destinations.h"
#include "pdf/page_index.h"
#include "pdf/page_labels.h"
#include "pdf/pdf_text.h"

namespace vellox {
namespace pdf {
namespace {

using Index = std::int32_t;
constexpr Index kNone = OutlineTree::kNone;

class OutlineBuilder {
 public:
  OutlineBuilder(ObjectSource* source, OutlineTree* tree)
      : source(source), tree(tree), catalog(source->Catalog()), destinations(source, catalog) {}

  void Build() {
    try {
      ReadItems();
    } catch (const std::bad_alloc&) {
      throw;
    } catch (...) {
      // Pages for the nodes read until then; the walk's failure is the
      // one to report.
      try {
        ResolvePages();
      } catch (const std::bad_alloc&) {
        throw;
      } catch (...) {
      }
      throw;
    }
    ResolvePages();
    LabelPages();
  }

 private:
  void ReadItems() {
    const Object outlinesEntry = catalog.Get("Outlines");
    const Object outlines = source->Resolve(outlinesEntry);
    if (outlines.IsNull()) return;  // no outline
    if (!outlines.IsDictionary())
      throw ReadError(ReadFault::kDamaged, "the catalog's outline is not a dictionary");
    std::unordered_set<std::uint64_t> visited;
    if (outlinesEntry.IsReference()) visited.insert(outlinesEntry.Id().Packed());

    // One frame per open level: the next sibling to take and the last
    // node added there. Depth costs heap, not stack.
    struct Frame {
      Object next;
      Index parent;
      Index last;
    };
    std::vector<Frame> frames;
    frames.push_back(Frame{outlines.Get("First"), 0, kNone});
    bool first = true;
    while (!frames.empty()) {
      const Object reference = std::move(frames.back().next);
      frames.back().next = Object();
      if (reference.IsReference() && !visited.insert(reference.Id().Packed()).second) {
        frames.pop_back();
        continue;
      }
      const Object item = source->Resolve(reference);
      if (!item.IsDictionary() ||
          tree->nodes.size() >= static_cast<std::size_t>(std::numeric_limits<Index>::max())) {
        // The outline's first item must be there when it is named: an
        // outline lost whole is damage, never an empty bookmark file.
        if (first && !reference.IsNull())
          throw ReadError(ReadFault::kDamaged, "the outline's first item cannot be read");
        frames.pop_back();
        continue;
      }
      first = false;
      Frame& frame = frames.back();
      const Index node = AddNode(item, frame.parent, frame.last);
      frame.last = node;
      frame.next = item.Get("Next");
      Object child = item.Get("First");
      if (!child.IsNull()) frames.push_back(Frame{std::move(child), node, kNone});
    }
  }

  Index AddNode(const Object& item, Index parent, Index previous) {
    OutlineTree::Node node;
    node.parent = parent;
    const Object title = source->Resolve(item.Get("Title"));
    if (title.IsString()) {
      std::u16string text = DecodeTitle(title.Text());
      node.titleStart = tree->titles.size();
      node.titleLength = text.size();
      tree->titles += text;
    }
    targets.push_back(destinations.ItemTarget(item));

    const auto index = static_cast<Index>(tree->nodes.size());
    tree->nodes.push_back(node);
    if (previous == kNone) {
      tree->nodes[static_cast<std::size_t>(parent)].firstChild = index;
    } else {
      tree->nodes[static_cast<std::size_t>(previous)].nextSibling = index;
    }
    return index;
  }

  // Fills in every node's page from its target. The page tree is read
  // only when some item leads to a page.
  void ResolvePages() {
    // targets[0] stands for the root, which has no page.
    for (std::size_t node = 1; node < targets.size() && node < tree->nodes.size(); ++node) {
      const Index page = PageOf(targets[node]);
      if (page != kNone) tree->nodes[node].page = page;
    }
  }

  // The document's printed page labels, for the nodes that lead to a page.
  // They serve only on request, so a label tree that cannot be read costs
  // the labels, never the outline.
  void LabelPages() {
    if (!pages) return;  // no node leads to a page
    try {
      LabelOutline(ReadPageLabels(*source, catalog), tree);
    } catch (const ReadError&) {
    }
  }

  Index PageOf(const Target& target) {
    if (target.kind == Target::kNoPage) return kNone;
    if (!pages) pages = std::make_unique<PageIndex>(source, catalog);
    const Index count = pages->PageCount();
    switch (target.kind) {
      case Target::kPageObject:
        return pages->IndexOf(target.page);
      case Target::kPageNumber:
        return target.number < static_cast<std::uint64_t>(count) ? static_cast<Index>(target.number)
                                                                  : kNone;
      case Target::kFirstPage:
        return count > 0 ? 0 : kNone;
      case Target::kLastPage:
        return count > 0 ? count - 1 : kNone;
      case Target::kNoPage:
        break;
    }
    return kNone;
  }

  ObjectSource* source;
  OutlineTree* tree;
  Object catalog;
  Destinations destinations;
  std::unique_ptr<PageIndex> pages;
  std::vector<Target> targets = std::vector<Target>(1);  // one per node
};

}  // namespace

void BuildOutlineTree(ObjectSource* source, OutlineTree* tree) {
  OutlineBuilder(source, tree).Build();
}

}  // namespace pdf
}  // namespace vellox

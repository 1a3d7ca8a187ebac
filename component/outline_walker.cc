#include "component/outline_walker.h"

#include <cstdint>
#include <utility>

#include "component/component_reasons.h"
#include "platform/wide_path.h"

namespace vellox {
namespace {

using Index = std::int32_t;

// What the component's IsLeaf answers: S_OK exactly when the node under
// the cursor has a child.
bool HasChildren(IPdfOutline* cursor) { return cursor->IsLeaf() == S_OK; }

// The characters of a string the component handed out (none for null).
std::u16string Characters(BSTR text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
}

// The item's printed label, where it offers one (IPdfPageLabel) and the
// page has one; kNone otherwise.
Index AddPrintedLabel(IPdfOutlineItem* item, OutlineTree* tree) {
  ComReference<IPdfPageLabel> labelled;
  item->QueryInterface(IID_IPdfPageLabel, labelled.OutVoid());
  if (!labelled) return OutlineTree::kNone;
  BstrHolder label;
  if (labelled->GetPageLabel(label.Out()) != S_OK) return OutlineTree::kNone;
  tree->labels.push_back(Characters(label.get()));
  return static_cast<Index>(tree->labels.size() - 1);
}

// Adds the node of `item` under `parent`, after its sibling `previous`
// (kNone for the first child): its title, its page as the component gives
// it (0 when it stores none) and, where wanted, its printed label.
Index AddNode(IPdfOutlineItem* item, Index parent, Index previous,
              const OutlineOptions& options, OutlineTree* tree) {
  OutlineTree::Node node;
  node.parent = parent;
  BstrHolder title;
  item->GetTitle(title.Out());
  const std::u16string text = Characters(title.get());
  node.titleStart = tree->titles.size();
  node.titleLength = text.size();
  tree->titles += text;
  LONG page = 0;
  item->GetPage(&page);
  node.page = static_cast<std::int32_t>(page);
  if (options.printedLabels) node.label = AddPrintedLabel(item, tree);

  const auto index = static_cast<Index>(tree->nodes.size());
  tree->nodes.push_back(node);
  if (previous == OutlineTree::kNone) {
    tree->nodes[static_cast<std::size_t>(parent)].firstChild = index;
  } else {
    tree->nodes[static_cast<std::size_t>(previous)].nextSibling = index;
  }
  return index;
}

// Adds the children of the node under `cursor` (`parent`, at `depth`) and
// their descendants, and leaves the cursor where it found it.
void WalkLevel(IPdfOutline* cursor, Index parent, std::int32_t depth,
               const OutlineOptions& options, OutlineTree* tree) {
  if (!options.Admits(depth)) return;
  if (!HasChildren(cursor)) return;
  if (depth >= kMaxOutlineDepth) {
    tree->deeperLevelsLeftOut = true;
    return;
  }

  cursor->MoveToFirstChild();
  ComReference<IPdfOutlineItem> current;
  cursor->GetCurrentItem(current.Out());
  if (!current) {
    // Back to the node the level started on, or the level above would go
    // on among this level's nodes and list them as its own.
    cursor->MoveToParent();
    return;
  }

  // The loop holds the current item and the one before it; a cursor that
  // stays on the last sibling hands the same item out again, which ends it.
  ComReference<IPdfOutlineItem> previous;
  Index last = OutlineTree::kNone;
  do {
    last = AddNode(current.get(), parent, last, options, tree);
    WalkLevel(cursor, last, depth + 1, options, tree);

    previous = std::move(current);  // gives back the item before it
    cursor->MoveToNextSibling();
    cursor->GetCurrentItem(current.Out());
  } while (current && current.get() != previous.get());

  previous.Reset();
  current.Reset();  // the second reference when the cursor stood still
  cursor->MoveToParent();
}

}  // namespace

StatusOr<OutlineTree> WalkComponentOutline(ComReference<IPdfDocument> document,
                                           const std::string& path,
                                           const OutlineOptions& options) {
  HRESULT status;
  {
    BstrHolder widePath(platform::AllocStringFromPath(path));
    platform::TakeComponentErrorText();  // drop any stale description
    status = document->Open(widePath.get());
  }
  if (FAILED(status)) return ComponentFailure(status);
  OutlineTree tree;
  if (status != S_OK) tree.repairNote = platform::TakeComponentErrorText();

  ComReference<IPdfOutline> outline;
  status = document->QueryInterface(IID_IPdfOutline, outline.OutVoid());
  document.Reset();
  if (!outline) return ComponentFailure(FAILED(status) ? status : E_NOINTERFACE);

  outline->MoveToRoot();
  WalkLevel(outline.get(), 0, 0, options, &tree);
  return tree;
}

}  // namespace vellox

#include "outline/outline_walker.h"

#include <optional>
#include <utility>

#include "outline/com_reference.h"
#include "outline/component_status.h"
#include "outline/component_reasons.h"
#include "platform/code_page.h"
#include "platform/wide_path.h"

namespace vellox {
namespace {

// The component's failure as a Status: in the component's own words where
// it left some, else in the words for its status code.
Status ComponentFailure(HRESULT status) {
  std::string reason = platform::TakeComponentErrorText();
  if (reason.empty()) reason = DescribeComponentStatus(status);
  return Status(CodeOfComponentResult(status), reason);
}

// The printed label of the item's page; nothing when the component does
// not know labels, the page has none, or it is empty.
std::optional<std::string> PrintedLabel(IPdfOutlineItem* item) {
  ComReference<IPdfPageLabel> labelled;
  item->QueryInterface(IID_IPdfPageLabel, labelled.OutVoid());
  if (!labelled) return std::nullopt;
  BstrHolder label;
  if (labelled->GetPageLabel(label.Out()) != S_OK) return std::nullopt;
  std::string text = platform::TextFromWide(label.get());
  if (text.empty()) return std::nullopt;
  return text;
}

}  // namespace

Status ReadOutline(const std::string& path, BookmarkList* list, const OutlineOptions& options,
                   OutlineReport* report, PdfDocumentFactory create) {
  ComReference<IPdfDocument> document;
  HRESULT status = create(document.Out());
  if (!document) return ComponentFailure(FAILED(status) ? status : E_FAIL);

  {
    BstrHolder widePath(platform::AllocStringFromPath(path));
    platform::TakeComponentErrorText();  // drop any stale description
    status = document->Open(widePath.get());
  }
  if (FAILED(status)) return ComponentFailure(status);
  if (status != S_OK) report->warning = platform::TakeComponentErrorText();

  ComReference<IPdfOutline> outline;
  status = document->QueryInterface(IID_IPdfOutline, outline.OutVoid());
  document.Reset();
  if (!outline) return ComponentFailure(FAILED(status) ? status : E_NOINTERFACE);

  outline->MoveToRoot();
  WalkLevel(outline.get(), list, 0, options, report);
  return Status::OK();
}

void WalkLevel(IPdfOutline* cursor, BookmarkList* list, std::int32_t depth,
               const OutlineOptions& options, OutlineReport* report) {
  if (options.depthLimit != -1 && depth > options.depthLimit) return;
  if (cursor == nullptr) return;
  if (cursor->IsLeaf() != S_OK) return;
  if (depth >= kMaxOutlineDepth) {
    report->depthCut = true;
    return;
  }
  const std::string indentation(2 * static_cast<std::size_t>(depth), ' ');

  cursor->MoveToFirstChild();
  ComReference<IPdfOutlineItem> current;
  cursor->GetCurrentItem(current.Out());
  if (!current) {
    // Back to the node the level started on, or the level above would go
    // on among this level's nodes and list them as its own.
    cursor->MoveToParent();
    return;
  }
  if (depth == 0) report->hasOutline = true;

  // The loop holds the current item and the one before it; a cursor that
  // stays on the last sibling hands the same item out again, which ends it.
  ComReference<IPdfOutlineItem> previous;
  do {
    BstrHolder title;
    current->GetTitle(title.Out());
    std::string text = indentation + platform::TextFromWide(title.get());
    LONG page = 0;
    current->GetPage(&page);
    BookmarkEntry entry{static_cast<std::int32_t>(page), std::move(text)};
    if (options.printedLabels) entry.label = PrintedLabel(current.get());
    list->Append(std::move(entry));

    WalkLevel(cursor, list, depth + 1, options, report);

    previous = std::move(current);  // gives back the item before it
    cursor->MoveToNextSibling();
    cursor->GetCurrentItem(current.Out());
  } while (current && current.get() != previous.get());

  previous.Reset();
  current.Reset();  // the second reference when the cursor stood still
  cursor->MoveToParent();
}

}  // namespace vellox

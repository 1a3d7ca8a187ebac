#include "pdf/pdf_document.h"

#include <new>
#include <utility>

#include "outline/component_status.h"
#include "platform/code_page.h"
#include "platform/wide_path.h"
#include "pdf/read_outline.h"

namespace vellox {
namespace pdf {
namespace {

// Runs a method body so that no exception leaves the component.
template <typename Body>
HRESULT Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

// Leaves a reason (a message, which may name a path) for the caller.

}  // namespace

HRESULT OutlineItem::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown) {
    *object = static_cast<IUnknown*>(static_cast<IPdfOutlineItem*>(this));
  } else if (iid == IID_IPdfPageLabel) {
    *object = static_cast<IPdfPageLabel*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG OutlineItem::AddRef() {
  return static_cast<ULONG>(references.fetch_add(1, std::memory_order_relaxed) + 1);
}

ULONG OutlineItem::Release() {
  const std::int32_t left = references.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT OutlineItem::GetTitle(BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (title.size() > 0x7FFFFFF0u) return E_OUTOFMEMORY;
  *out = SysAllocStringLen(title.data(), static_cast<unsigned int>(title.size()));
  return *out == nullptr ? E_OUTOFMEMORY : S_OK;
}

HRESULT OutlineItem::GetPage(LONG* out) {
  if (out == nullptr) return E_POINTER;
  if (page == OutlineTree::kNone) return S_FALSE;
  *out = page;
  return S_OK;
}

HRESULT OutlineItem::GetPageLabel(BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (label.empty()) return S_FALSE;
  *out = SysAllocStringLen(label.data(), static_cast<unsigned int>(label.size()));
  return *out == nullptr ? E_OUTOFMEMORY : S_OK;
}

PdfDocument::~PdfDocument() {
  for (OutlineItem* item : items)
    if (item != nullptr) item->Release();
}

HRESULT PdfDocument::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IPdfDocument) {
    *object = static_cast<IPdfDocument*>(this);
  } else if (iid == IID_IPdfOutline) {
    *object = static_cast<IPdfOutline*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG PdfDocument::AddRef() {
  return static_cast<ULONG>(references.fetch_add(1, std::memory_order_relaxed) + 1);
}

ULONG PdfDocument::Release() {
  const std::int32_t left = references.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT PdfDocument::Open(BSTR path) {
  return Guarded([&]() -> HRESULT {
    if (open) {
      platform::SetComponentErrorText("the document is already open");
      return kNotOpen;
    }
    StatusOr<OutlineTree> read =
        ReadOutlineTree(platform::PathFromWide(path, SysStringLen(path)));
    if (!read.ok()) {
      platform::SetComponentErrorText(read.status().message());
      return ComponentResult(read.status().code());
    }
    items.assign(read->nodes.size(), nullptr);
    tree = std::move(read).value();
    cursor = 0;
    open = true;
    // A repaired file opens with a warning, which the error text carries.
    if (tree.repairNote.empty()) return S_OK;
    platform::SetComponentErrorText(tree.repairNote);
    return S_FALSE;
  });
}

HRESULT PdfDocument::MoveToRoot() {
  if (!open) return kNotOpen;
  cursor = 0;
  return S_OK;
}

HRESULT PdfDocument::MoveToParent() {
  if (!open) return kNotOpen;
  if (Current().parent == OutlineTree::kNone) return kNoSuchNode;
  cursor = Current().parent;
  return S_OK;
}

HRESULT PdfDocument::IsLeaf() {
  if (!open) return kNotOpen;
  return Current().firstChild != OutlineTree::kNone ? S_OK : S_FALSE;
}

HRESULT PdfDocument::MoveToFirstChild() {
  if (!open) return kNotOpen;
  if (Current().firstChild == OutlineTree::kNone) return kNoSuchNode;
  cursor = Current().firstChild;
  return S_OK;
}

HRESULT PdfDocument::MoveToNextSibling() {
  if (!open) return kNotOpen;
  if (Current().nextSibling == OutlineTree::kNone) return S_FALSE;  // stays
  cursor = Current().nextSibling;
  return S_OK;
}

HRESULT PdfDocument::GetCurrentItem(IPdfOutlineItem** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  return Guarded([&]() -> HRESULT {
    if (!open) return kNotOpen;
    if (cursor == 0) return kNoSuchNode;  // the root has no item
    OutlineItem*& item = items[static_cast<std::size_t>(cursor)];
    if (item == nullptr) {
      const std::u16string* label = tree.Label(cursor);
      item = new OutlineItem(tree.Title(cursor), Current().page,
                             label != nullptr ? *label : std::u16string());
    }
    item->AddRef();
    *out = item;
    return S_OK;
  });
}

}  // namespace pdf
}  // namespace vellox

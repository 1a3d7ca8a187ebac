#ifndef VELLOX_PDF_PDF_DOCUMENT_H_
#define VELLOX_PDF_PDF_DOCUMENT_H_

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "outline/pdf_component.h"
#include "pdf/outline_tree.h"

namespace vellox {
namespace pdf {

// A wrong-state call on the cursor (before Open, past the tree's edges).
constexpr HRESULT kNotOpen = static_cast<HRESULT>(0x8000FFFF);    // E_UNEXPECTED
constexpr HRESULT kNoSuchNode = static_cast<HRESULT>(0x8000000B); // E_BOUNDS

// One outline node's title, page and printed page label, copied out of
// the tree: an item holds no reference to its document, so the two never
// keep each other alive.
class OutlineItem final : public IPdfOutlineItemPlaceholders, public IPdfPageLabel {
 public:
  // An empty `label` is none.
  OutlineItem(std::u16string title, std::int32_t page, std::u16string label = std::u16string())
      : title(std::move(title)), page(page), label(std::move(label)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTitle(BSTR* title) override;
  // S_FALSE, storing nothing, when the destination is unknown.
  HRESULT STDMETHODCALLTYPE GetPage(LONG* page) override;

  // IPdfPageLabel
  HRESULT STDMETHODCALLTYPE GetPageLabel(BSTR* label) override;

 private:
  ~OutlineItem() = default;

  std::atomic<std::int32_t> references{1};
  const std::u16string title;
  const std::int32_t page;  // OutlineTree::kNone when unknown
  const std::u16string label;
};

// The document and its outline cursor in one object. Open reads the whole
// outline into memory; the cursor then walks that copy.
class PdfDocument final : public IPdfDocumentPlaceholders, public IPdfOutlinePlaceholders {
 public:
  PdfDocument() = default;
  PdfDocument(const PdfDocument&) = delete;
  PdfDocument& operator=(const PdfDocument&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IPdfDocument. A failure's code becomes its HRESULT (outline/
  // component_status.h) and its reason the component's error text; a
  // repaired file opens with S_FALSE and the reader's note as that text.
  HRESULT STDMETHODCALLTYPE Open(BSTR path) override;

  // IPdfOutline
  HRESULT STDMETHODCALLTYPE MoveToRoot() override;
  HRESULT STDMETHODCALLTYPE MoveToParent() override;
  HRESULT STDMETHODCALLTYPE IsLeaf() override;
  HRESULT STDMETHODCALLTYPE MoveToFirstChild() override;
  HRESULT STDMETHODCALLTYPE MoveToNextSibling() override;
  HRESULT STDMETHODCALLTYPE GetCurrentItem(IPdfOutlineItem** item) override;

 private:
  ~PdfDocument();

  const OutlineTree::Node& Current() const {
    return tree.nodes[static_cast<std::size_t>(cursor)];
  }

  std::atomic<std::int32_t> references{1};
  bool open = false;
  OutlineTree tree;
  std::int32_t cursor = 0;
  // One item per node once handed out, each holding one reference.
  std::vector<OutlineItem*> items;
};

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_PDF_PDF_DOCUMENT_H_

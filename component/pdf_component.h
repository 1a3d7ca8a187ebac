#ifndef VELLOX_COMPONENT_PDF_COMPONENT_H_
#define VELLOX_COMPONENT_PDF_COMPONENT_H_

#include "platform/com.h"

// The PDF document component as the outline walker uses it: a document
// that opens a file, an outline cursor on the same object, and one item
// object per outline node. Method slots that the walker never calls are
// declared as placeholders so that every method sits at the place the
// component's method table gives it.

// {5479AE9E-D618-4D2E-8496-C31B68603CB4}
constexpr CLSID CLSID_PdfDocumentComponent = {
    0x5479AE9E, 0xD618, 0x4D2E, {0x84, 0x96, 0xC3, 0x1B, 0x68, 0x60, 0x3C, 0xB4}};
// {23112AD1-A56C-4398-8764-7033EAD03804}
constexpr IID IID_IPdfDocument = {
    0x23112AD1, 0xA56C, 0x4398, {0x87, 0x64, 0x70, 0x33, 0xEA, 0xD0, 0x38, 0x04}};
// {C6189D6F-A24A-4EB2-B22B-22F186C42274}
constexpr IID IID_IPdfOutline = {
    0xC6189D6F, 0xA24A, 0x4EB2, {0xB2, 0x2B, 0x22, 0xF1, 0x86, 0xC4, 0x22, 0x74}};

// {567C87B1-FD5F-41DD-8467-E443243CDD4A}
constexpr IID IID_IPdfPageLabel = {
    0x567C87B1, 0xFD5F, 0x41DD, {0x84, 0x67, 0xE4, 0x43, 0x24, 0x3C, 0xDD, 0x4A}};

struct IPdfOutlineItem;

struct IPdfDocument : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
  // 7. Opens the file; the component copies the path. A success other
  // than S_OK means the file was read with problems, which the component
  // describes in its error text; a failure is described there too.
  virtual HRESULT STDMETHODCALLTYPE Open(BSTR path) = 0;
};

// A cursor over the outline tree; it stands on one node at a time.
struct IPdfOutline : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
  // 8. To the root, whose children are the top-level bookmarks.
  virtual HRESULT STDMETHODCALLTYPE MoveToRoot() = 0;
  // 9. Back to the node on which MoveToFirstChild was called.
  virtual HRESULT STDMETHODCALLTYPE MoveToParent() = 0;
  // 10. S_OK (0) exactly when the node under the cursor has a child: the
  // component's name, which says the opposite of what it answers (the
  // walker asks it as HasChildren).
  virtual HRESULT STDMETHODCALLTYPE IsLeaf() = 0;
  // 11.
  virtual HRESULT STDMETHODCALLTYPE MoveToFirstChild() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved12() = 0;
  // 13. On the last sibling the cursor stays where it is.
  virtual HRESULT STDMETHODCALLTYPE MoveToNextSibling() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved14() = 0;
  // 15. A new reference to the node's item: the same object for the same
  // node while it is held.
  virtual HRESULT STDMETHODCALLTYPE GetCurrentItem(IPdfOutlineItem** item) = 0;
};

struct IPdfOutlineItem : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
  // 9. The title as a new string, which the caller frees.
  virtual HRESULT STDMETHODCALLTYPE GetTitle(BSTR* title) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
  // 11. The index of the page the node points to; the first page is 0.
  virtual HRESULT STDMETHODCALLTYPE GetPage(LONG* page) = 0;
};

// The interfaces with their placeholder slots implemented, each answering
// E_NOTIMPL: what an implementation derives from, so that it declares only
// the methods it serves and every one of them keeps its slot.
struct IPdfDocumentPlaceholders : public IPdfDocument {
  HRESULT STDMETHODCALLTYPE Reserved3() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved4() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved5() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved6() override { return E_NOTIMPL; }
};

struct IPdfOutlinePlaceholders : public IPdfOutline {
  HRESULT STDMETHODCALLTYPE Reserved3() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved4() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved5() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved6() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved7() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved12() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved14() override { return E_NOTIMPL; }
};

struct IPdfOutlineItemPlaceholders : public IPdfOutlineItem {
  HRESULT STDMETHODCALLTYPE Reserved3() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved4() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved5() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved6() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved7() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved8() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved10() override { return E_NOTIMPL; }
};

// This program's own, not the registered component's: an outline item
// that knows the printed label (/PageLabels) of the page it points to. The
// walker asks an item for it only when printed labels are wanted; an item
// without it (E_NOINTERFACE, as the registered component answers) shows
// its page number.
struct IPdfPageLabel : public IUnknown {
  // 3. The label as a new string, which the caller frees; S_FALSE, storing
  // null, when the page has none.
  virtual HRESULT STDMETHODCALLTYPE GetPageLabel(BSTR* label) = 0;
};

#endif  // VELLOX_COMPONENT_PDF_COMPONENT_H_

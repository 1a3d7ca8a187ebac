#include "component/pdf_component.h"

#include <gtest/gtest.h>

#include <string>

namespace vellox {
namespace {

// Serves every interface through the placeholder bases and notes which
// method a call reached.
class Recorder final : public IPdfDocumentPlaceholders,
                       public IPdfOutlinePlaceholders,
                       public IPdfOutlineItemPlaceholders,
                       public IPdfPageLabel {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return Reached("QI"); }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE Open(BSTR) override { return Reached("Open"); }
  HRESULT STDMETHODCALLTYPE MoveToRoot() override { return Reached("MoveToRoot"); }
  HRESULT STDMETHODCALLTYPE MoveToParent() override { return Reached("MoveToParent"); }
  HRESULT STDMETHODCALLTYPE IsLeaf() override { return Reached("IsLeaf"); }
  HRESULT STDMETHODCALLTYPE MoveToFirstChild() override { return Reached("MoveToFirstChild"); }
  HRESULT STDMETHODCALLTYPE MoveToNextSibling() override { return Reached("MoveToNextSibling"); }
  HRESULT STDMETHODCALLTYPE GetCurrentItem(IPdfOutlineItem**) override {
    return Reached("GetCurrentItem");
  }
  HRESULT STDMETHODCALLTYPE GetTitle(BSTR*) override { return Reached("GetTitle"); }
  HRESULT STDMETHODCALLTYPE GetPage(LONG*) override { return Reached("GetPage"); }
  HRESULT STDMETHODCALLTYPE GetPageLabel(BSTR*) override { return Reached("GetPageLabel"); }

  std::string reached;

 private:
  HRESULT Reached(const char* method) {
    reached = method;
    return S_OK;
  }
};

// Calls the method in `slot` of the table of `object` the way a client
// built apart from these declarations does, knowing only the slot number
// and the arguments: with one pointer argument (null), or none.
HRESULT CallSlot(IUnknown* object, int slot, bool withArgument) {
  using AnyMethod = void (*)();
  AnyMethod method = (*reinterpret_cast<AnyMethod* const*>(object))[slot];
  if (withArgument)
    return reinterpret_cast<HRESULT(STDMETHODCALLTYPE*)(IUnknown*, void*)>(method)(object,
                                                                                 nullptr);
  return reinterpret_cast<HRESULT(STDMETHODCALLTYPE*)(IUnknown*)>(method)(object);
}

// The component's method tables: each method at its slot number, and each
// placeholder answering E_NOTIMPL without reaching a method.
TEST(PdfComponentTest, EveryMethodSitsInItsSlot) {
  Recorder recorder;
  IUnknown* document = static_cast<IPdfDocument*>(&recorder);
  IUnknown* outline = static_cast<IPdfOutline*>(&recorder);
  IUnknown* item = static_cast<IPdfOutlineItem*>(&recorder);
  IUnknown* label = static_cast<IPdfPageLabel*>(&recorder);
  struct Case {
    const char* interfaceName;
    IUnknown* object;
    int slot;
    const char* method;  // null: a placeholder
    bool withArgument;
  } cases[] = {
      {"IPdfDocument", document, 3, nullptr, false},
      {"IPdfDocument", document, 4, nullptr, false},
      {"IPdfDocument", document, 5, nullptr, false},
      {"IPdfDocument", document, 6, nullptr, false},
      {"IPdfDocument", document, 7, "Open", true},
      {"IPdfOutline", outline, 3, nullptr, false},
      {"IPdfOutline", outline, 4, nullptr, false},
      {"IPdfOutline", outline, 5, nullptr, false},
      {"IPdfOutline", outline, 6, nullptr, false},
      {"IPdfOutline", outline, 7, nullptr, false},
      {"IPdfOutline", outline, 8, "MoveToRoot", false},
      {"IPdfOutline", outline, 9, "MoveToParent", false},
      {"IPdfOutline", outline, 10, "IsLeaf", false},
      {"IPdfOutline", outline, 11, "MoveToFirstChild", false},
      {"IPdfOutline", outline, 12, nullptr, false},
      {"IPdfOutline", outline, 13, "MoveToNextSibling", false},
      {"IPdfOutline", outline, 14, nullptr, false},
      {"IPdfOutline", outline, 15, "GetCurrentItem", true},
      {"IPdfOutlineItem", item, 3, nullptr, false},
      {"IPdfOutlineItem", item, 4, nullptr, false},
      {"IPdfOutlineItem", item, 5, nullptr, false},
      {"IPdfOutlineItem", item, 6, nullptr, false},
      {"IPdfOutlineItem", item, 7, nullptr, false},
      {"IPdfOutlineItem", item, 8, nullptr, false},
      {"IPdfOutlineItem", item, 9, "GetTitle", true},
      {"IPdfOutlineItem", item, 10, nullptr, false},
      {"IPdfOutlineItem", item, 11, "GetPage", true},
      {"IPdfPageLabel", label, 3, "GetPageLabel", true},
  };
  for (const Case& c : cases) {
    recorder.reached.clear();
    HRESULT result = CallSlot(c.object, c.slot, c.withArgument);
    const std::string where = std::string(c.interfaceName) + " slot " + std::to_string(c.slot);
    EXPECT_EQ(recorder.reached, c.method != nullptr ? c.method : "") << where;
    EXPECT_EQ(result, c.method != nullptr ? S_OK : E_NOTIMPL) << where;
  }
}

}  // namespace
}  // namespace vellox

#include "pdf/pdf_document.h"

#include <gtest/gtest.h>

#include <string>

namespace vellox {
namespace pdf {
namespace {

std::u16string Take(BSTR text) {
  std::u16string copy(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
  SysFreeString(text);
  return copy;
}

// The printed label comes through an interface of its own, which holds
// the same object as the item and keeps it alive.
TEST(OutlineItemTest, PageLabelThroughItsOwnInterface) {
  struct Case {
    std::u16string label;
    HRESULT result;
  } cases[] = {{u"xiv", S_OK}, {u"", S_FALSE}};
  for (const Case& c : cases) {
    IPdfOutlineItem* item = new OutlineItem(u"Title", 3, c.label);
    IPdfPageLabel* labelled = nullptr;
    ASSERT_EQ(item->QueryInterface(IID_IPdfPageLabel, reinterpret_cast<void**>(&labelled)), S_OK);
    ASSERT_NE(labelled, nullptr);

    // One object: both interfaces give the same IUnknown.
    IUnknown* fromItem = nullptr;
    IUnknown* fromLabel = nullptr;
    ASSERT_EQ(item->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromItem)), S_OK);
    ASSERT_EQ(labelled->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromLabel)), S_OK);
    EXPECT_EQ(fromItem, fromLabel);
    fromItem->Release();
    fromLabel->Release();
    EXPECT_EQ(item->Release(), 1u);  // the label interface still holds it

    BSTR label = reinterpret_cast<BSTR>(1);
    EXPECT_EQ(labelled->GetPageLabel(&label), c.result);
    if (c.result == S_OK) {
      EXPECT_EQ(Take(label), c.label);
    } else {
      EXPECT_EQ(label, nullptr);
    }
    EXPECT_EQ(labelled->GetPageLabel(nullptr), E_POINTER);
    EXPECT_EQ(labelled->Release(), 0u);
  }
}

TEST(OutlineItemTest, OtherInterfacesAreRefused) {
  IPdfOutlineItem* item = new OutlineItem(u"Title", 3);
  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(item->QueryInterface(IID_IPdfOutline, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  BSTR title = nullptr;
  ASSERT_EQ(item->GetTitle(&title), S_OK);
  EXPECT_EQ(Take(title), u"Title");
  EXPECT_EQ(item->Release(), 0u);
}

}  // namespace
}  // namespace pdf
}  // namespace vellox

#include "platform/com.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"

namespace vellox {
namespace platform {
namespace {

class ComTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitializeCodePage();
    InitializeComponentLibrary();
  }
  void TearDown() override { UninitializeComponentLibrary(); }
};

TEST_F(ComTest, StatusesInWords) {
  const std::string notAvailable = "the PDF document component is not available";
  struct Case {
    HRESULT status;
    std::string expected;
  } cases[] = {
      {REGDB_E_CLASSNOTREG, notAvailable},
      {CLASS_E_CLASSNOTAVAILABLE, notAvailable},
      {HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND), notAvailable},  // registered DLL missing
      {HRESULT_FROM_WIN32(ERROR_BAD_EXE_FORMAT), notAvailable},  // DLL of the other width
      {E_OUTOFMEMORY, "out of memory"},
      {E_NOINTERFACE, "the PDF document component offers no outline"},
      // The component's own codes: the system's text would be another's.
      {static_cast<HRESULT>(0x80040999), "the PDF document component failed (0x80040999)"},
      {static_cast<HRESULT>(0x8FFF1234), "the PDF document component failed (0x8FFF1234)"},
  };
  for (const Case& c : cases) EXPECT_EQ(DescribeStatus(c.status), c.expected) << std::hex << c.status;

  // System codes in the system's words, as one line for "vellox: ...".
  for (HRESULT status : {E_FAIL, E_ACCESSDENIED, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)}) {
    std::string text = DescribeStatus(status);
    EXPECT_EQ(text.find("0x"), std::string::npos) << text;
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text.back(), '.') << text;
  }
}

TEST_F(ComTest, ErrorTextIsTakenOnce) {
  EXPECT_EQ(TakeComponentErrorText(), "");
  SetComponentErrorText(u"not a PDF file");
  EXPECT_EQ(TakeComponentErrorText(), "not a PDF file");
  EXPECT_EQ(TakeComponentErrorText(), "");
  SetComponentErrorText(u"damaged\r\n");
  EXPECT_EQ(TakeComponentErrorText(), "damaged");
  SetComponentErrorText(u"a \u0E01 b");  // Thai: in no code page these tests run in
  EXPECT_EQ(TakeComponentErrorText(), "a ? b");
}

TEST_F(ComTest, UnregisteredClassIsNotAvailable) {
  const CLSID unknown = {0x5479AE9E, 0xD618, 0x4D2E, {0x84, 0x96, 0, 0, 0, 0, 0, 0}};
  void* object = reinterpret_cast<void*>(1);
  HRESULT status = CreateComponent(unknown, IID_IUnknown, &object);
  EXPECT_EQ(status, REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(DescribeStatus(status), "the PDF document component is not available");
}

}  // namespace
}  // namespace platform
}  // namespace vellox

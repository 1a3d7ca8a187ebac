#include "component/component_reasons.h"

#include <gtest/gtest.h>

#include <string>

namespace vellox {
namespace {

// The component's words for what it returns; what the system has words
// for is the platform's (platform/com_windows_test.cc).
TEST(ComponentReasonsTest, StatusesInWords) {
  struct Case {
    HRESULT status;
    std::string expected;
  } cases[] = {
      {REGDB_E_CLASSNOTREG, "the PDF document component is not available"},
      {E_OUTOFMEMORY, "out of memory"},
      {E_NOINTERFACE, "the PDF document component offers no outline"},
      // The component's own codes: the system's text would be another's.
      {static_cast<HRESULT>(0x80040999), "the PDF document component failed (0x80040999)"},
      {static_cast<HRESULT>(0x8FFF1234), "the PDF document component failed (0x8FFF1234)"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DescribeComponentStatus(c.status), c.expected) << std::hex << c.status;
}

}  // namespace
}  // namespace vellox

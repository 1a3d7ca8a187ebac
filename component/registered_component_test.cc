#include "component/registered_component.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/component_library.h"

namespace vellox {
namespace {

// Where no component can be created, the failure says so briefly, or, when
// asked, why (here: the POSIX stand-in of the component library, or a
// Windows machine without the component).
TEST(RegisteredComponentTest, MissingComponentIsNotCreated) {
  platform::ComponentLibraryScope library;
  for (bool explain : {false, true}) {
    bool created = true;
    StatusOr<OutlineTree> read =
        ReadWithRegisteredComponent("/books/b.pdf", OutlineOptions(), explain, &created);
    if (created) GTEST_SKIP() << "a PDF document component is registered here";
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.status().code(), StatusCode::kUnavailable);
    EXPECT_EQ(read.status().message(),
              explain ? "the PDF document component is not available: its class is not "
                        "registered"
                      : "the PDF document component is not available");
  }
}

}  // namespace
}  // namespace vellox

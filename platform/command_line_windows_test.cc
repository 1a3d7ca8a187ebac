#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace vellox {
namespace platform {
namespace {

// A quote is in no file name: one in a path was kept by a backslash before
// it, and the message says how the path was most likely meant.
TEST(CommandLineTest, AQuoteInAPathIsRefusedWithTheWayToWriteIt) {
  struct Case {
    std::string path;     // as the C runtime's rule hands it over
    std::string advice;   // empty: accepted
  } cases[] = {
      {"C:\\My Books", ""},
      {"C:\\My Books\\", ""},
      {"C:\\My Books\" -j 2",  // typed: "C:\My Books\" -j 2
       "a backslash before a closing quote escapes it; write \"C:\\My Books\" or "
       "\"C:\\My Books\\\\\""},
      {"D:\"", "a backslash before a closing quote escapes it; write \"D:\" or \"D:\\\\\""},
  };
  for (const Case& c : cases) {
    const Status status = CheckCommandLinePath(c.path);
    EXPECT_EQ(status.ok(), c.advice.empty()) << c.path;
    EXPECT_EQ(status.message(), c.advice) << c.path;
  }
}

}  // namespace
}  // namespace platform
}  // namespace vellox

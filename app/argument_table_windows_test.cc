#include "app/argument_table.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/paths.h"
#include "test_util.h"

namespace vellox {
namespace {

using testing::ScratchDirectory;

TEST(ArgumentTableTest, ProgramDirectoryOrCurrentDirectoryIsTheBase) {
  ScratchDirectory scratch;
  char previous[MAX_PATH];
  ASSERT_NE(GetCurrentDirectoryA(MAX_PATH, previous), 0u);
  ASSERT_TRUE(SetCurrentDirectoryA(scratch.path().c_str()));
  std::string current;
  Status status = platform::CurrentDirectory(&current);
  SetCurrentDirectoryA(previous);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_TRUE(platform::IsSameFile(current, scratch.path())) << current;

  struct Case {
    const char* program;
    const char* argument;
    std::string expected;
    bool fromProgramFolder;  // where a user would not look for it
  } cases[] = {
      {"C:\\tools\\vellox.exe", "book.pdf", "C:\\tools\\book.pdf", true},
      {"C:\\tools\\bin\\vellox.exe", "..\\docs\\book.pdf", "C:\\tools\\docs\\book.pdf", true},
      {"C:\\tools\\vellox.exe", "D:\\book.pdf", "D:\\book.pdf", false},
      {"C:\\tools\\vellox.exe", "\\\\server\\share\\book.pdf", "\\\\server\\share\\book.pdf", false},
      {"vellox", "book.pdf", current + "\\book.pdf", false},
      {"./bin/vellox", "book.pdf", current + "\\book.pdf", false},  // '/' is not looked for
  };
  ASSERT_TRUE(SetCurrentDirectoryA(scratch.path().c_str()));
  for (const Case& c : cases) {
    ArgumentTable table;
    const char* argv[] = {c.program};
    table.Parse(1, argv);
    std::string resolved;
    EXPECT_TRUE(table.ResolvePath(c.argument, &resolved).ok());
    EXPECT_EQ(resolved, c.expected) << c.program << " " << c.argument;
    EXPECT_EQ(table.TakesFromProgramFolder(c.argument), c.fromProgramFolder)
        << c.program << " " << c.argument;
  }
  SetCurrentDirectoryA(previous);
}

}  // namespace
}  // namespace vellox

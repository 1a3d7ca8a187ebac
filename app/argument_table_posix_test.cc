#include "app/argument_table.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/paths.h"

namespace vellox {
namespace {

// On POSIX the program's own path plays no part: a backslash is part of a
// name there, never a directory separator.
TEST(ArgumentTableTest, RelativeArgumentsResolveAgainstTheCurrentDirectoryWhateverTheProgramPath) {
  std::string current;
  ASSERT_TRUE(platform::CurrentDirectory(&current).ok());
  for (const char* program :
       {"vellox", "./bin/vellox", "/usr/bin/vellox", "/opt/tools\\v1/vellox",
        "C:\\tools\\vellox.exe"}) {
    ArgumentTable table;
    const char* argv[] = {program};
    table.Parse(1, argv);
    std::string resolved;
    ASSERT_TRUE(table.ResolvePath("book.pdf", &resolved).ok());
    EXPECT_EQ(resolved, current == "/" ? "/book.pdf" : current + "/book.pdf") << program;
  }
}

}  // namespace
}  // namespace vellox

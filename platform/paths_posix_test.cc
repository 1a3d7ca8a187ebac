#include "platform/paths.h"

#include <gtest/gtest.h>

#include <string>

#include "app/argument_table.h"
#include "test_util.h"

namespace vellox {
namespace platform {
namespace {

TEST(PathsTest, CombineAndCanonicalize) {
  struct Case {
    const char* directory;
    const char* path;
    const char* expected;
  } cases[] = {
      {"/home/u", "book.pdf", "/home/u/book.pdf"},
      {"/home/u/", "book.pdf", "/home/u/book.pdf"},
      {"/home/u", "/abs/book.pdf", "/abs/book.pdf"},
      {"/home/u", "../x/./book.pdf", "/home/x/book.pdf"},
      {"/home/u", "a/b/../../c.pdf", "/home/u/c.pdf"},
      {"/", "../../book.pdf", "/book.pdf"},
      {"/home/u", "a//b///c.pdf", "/home/u/a/b/c.pdf"},
      {"/home/u", "dir/", "/home/u/dir"},
      {"", "../a/b.pdf", "../a/b.pdf"},  // no base: stays relative
      {"", "a/../../b.pdf", "../b.pdf"},
      {"/home/u", "back\\slash.pdf", "/home/u/back\\slash.pdf"},
  };
  for (const Case& c : cases) {
    std::string combined, canonical;
    ASSERT_TRUE(CombinePath(c.directory, c.path, &combined).ok());
    ASSERT_TRUE(CanonicalizePath(combined, &canonical).ok());
    EXPECT_EQ(canonical, c.expected) << c.directory << " + " << c.path;
  }
}

TEST(PathsTest, LongPathsAreNeverTruncated) {
  std::string deep;
  for (int i = 0; i < 100; ++i) deep += "directory" + std::to_string(i) + "/";
  std::string combined, canonical;
  ASSERT_TRUE(CombinePath("/base", deep + "book.pdf", &combined).ok());
  ASSERT_TRUE(CanonicalizePath(combined, &canonical).ok());
  EXPECT_EQ(canonical, "/base/" + deep + "book.pdf");
}

TEST(PathsTest, RelativeArgumentsResolveAgainstTheCurrentDirectory) {
  std::string current;
  ASSERT_TRUE(CurrentDirectory(&current).ok());
  ArgumentTable table;
  const char* argv[] = {"/usr/bin/vellox"};
  table.Parse(1, argv);
  std::string resolved;
  ASSERT_TRUE(table.ResolvePath("sub/../book.pdf", &resolved).ok());
  EXPECT_EQ(resolved, current == "/" ? "/book.pdf" : current + "/book.pdf");
}

TEST(PathsTest, SameFileSeesThroughLinks) {
  vellox::testing::ScratchDirectory scratch;
  std::string a = scratch.Path("a.pdf"), b = scratch.Path("b.pdr");
  vellox::testing::WriteFile(a, "x");
  EXPECT_FALSE(IsSameFile(a, b));  // b does not exist
  ASSERT_EQ(symlink(a.c_str(), b.c_str()), 0);
  EXPECT_TRUE(IsSameFile(a, b));
  EXPECT_TRUE(IsSameFile(a, scratch.path() + "/./a.pdf"));
}

}  // namespace
}  // namespace platform
}  // namespace vellox

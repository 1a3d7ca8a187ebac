#include "platform/paths.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "test_util.h"

namespace vellox {
namespace platform {
namespace {

TEST(PathsTest, CombineAndCanonicalize) {
  // A ".." folds only where the kernel would land on the same directory.
  vellox::testing::ScratchDirectory scratch;
  const std::string s = scratch.path();
  ASSERT_EQ(mkdir(scratch.Path("a").c_str(), 0755), 0);
  ASSERT_EQ(mkdir(scratch.Path("a/b").c_str(), 0755), 0);
  ASSERT_EQ(symlink("a/b", scratch.Path("link").c_str()), 0);
  vellox::testing::WriteFile(scratch.Path("file.pdf"), "x");
  struct Case {
    std::string directory;
    const char* path;
    std::string expected;
  } cases[] = {
      {s, "book.pdf", s + "/book.pdf"},
      {s + "/", "book.pdf", s + "/book.pdf"},
      {s, "/abs/book.pdf", "/abs/book.pdf"},
      {s, "a/b/../c.pdf", s + "/a/c.pdf"},
      {s + "/a/b", "../../c.pdf", s + "/c.pdf"},
      {s, "./a//b///./c.pdf", s + "/a/b/c.pdf"},
      {s, "a/", s + "/a"},
      {s, "link/../c.pdf", s + "/link/../c.pdf"},       // climbs from a/b
      {s, "a/link/../c.pdf", s + "/a/link/../c.pdf"},   // a/link does not exist
      {s, "missing/../c.pdf", s + "/missing/../c.pdf"},
      {s, "file.pdf/../c.pdf", s + "/file.pdf/../c.pdf"},  // no directory
      {s, "link/../b/../c.pdf", s + "/link/../c.pdf"},  // a real one still folds
      {"/", "../../book.pdf", "/book.pdf"},
      {"", "../x/b.pdf", "../x/b.pdf"},  // no base: stays relative
      {"", "./", "."},
      {s, "back\\slash.pdf", s + "/back\\slash.pdf"},
      // Too long to open once combined: left for the kernel to resolve.
      {"/" + std::string(PATH_MAX, 'd'), "book.pdf", "book.pdf"},
  };
  for (const Case& c : cases) {
    std::string combined, canonical;
    ASSERT_TRUE(CombinePath(c.directory, c.path, &combined).ok());
    ASSERT_TRUE(CanonicalizePath(combined, &canonical).ok());
    EXPECT_EQ(canonical, c.expected) << c.directory.substr(0, 80) << " + " << c.path;
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

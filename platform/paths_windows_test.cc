#include "platform/paths.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "test_util.h"

namespace vellox {
namespace platform {
namespace {

using testing::ScratchDirectory;
using testing::WriteFile;

Status Resolve(const std::string& directory, const std::string& path, std::string* resolved) {
  std::string combined;
  Status status = CombinePath(directory, path, &combined);
  if (!status.ok()) return status;
  return CanonicalizePath(combined, resolved);
}

TEST(PathsTest, SeparatorsAreBothSlashes) {
  EXPECT_TRUE(IsPathSeparator('\\'));
  EXPECT_TRUE(IsPathSeparator('/'));
  EXPECT_FALSE(IsPathSeparator(':'));
}

TEST(PathsTest, CombineAndCanonicalize) {
  struct Case {
    const char* directory;
    const char* path;
    const char* expected;
  } cases[] = {
      {"C:\\docs", "book.pdf", "C:\\docs\\book.pdf"},
      {"C:\\docs\\", "book.pdf", "C:\\docs\\book.pdf"},
      {"C:\\docs", "D:\\other\\book.pdf", "D:\\other\\book.pdf"},
      {"C:\\docs", "\\\\server\\share\\book.pdf", "\\\\server\\share\\book.pdf"},
      {"C:\\docs\\sub", "..\\book.pdf", "C:\\docs\\book.pdf"},
      {"C:\\docs", ".\\a\\.\\b\\..\\book.pdf", "C:\\docs\\a\\book.pdf"},
      {"C:\\", "..\\..\\book.pdf", "C:\\book.pdf"},
      {"", "book.pdf", "book.pdf"},
  };
  for (const Case& c : cases) {
    std::string resolved;
    Status status = Resolve(c.directory, c.path, &resolved);
    ASSERT_TRUE(status.ok()) << c.directory << " + " << c.path << ": " << status.message();
    EXPECT_EQ(resolved, c.expected) << c.directory << " + " << c.path;
  }
}

TEST(PathsTest, PathsBeyondTheBufferAreErrorsNotCut) {
  // MAX_PATH (260) counts the terminator: 259 characters still fit.
  const std::string d256 = "C:\\" + std::string(253, 'd');  // 256 characters
  struct Case {
    std::string directory;
    std::string path;
    bool fits;
  } cases[] = {
      {d256, "xy", true},                       // 259
      {d256, "xyz", false},                     // 260
      {"C:\\docs", "C:\\" + std::string(257, 'p'), false},
      {"C:\\" + std::string(300, 'd'), "D:\\book.pdf", false},
  };
  for (const Case& c : cases) {
    std::string resolved = "untouched";
    Status status = Resolve(c.directory, c.path, &resolved);
    EXPECT_EQ(status.ok(), c.fits) << c.directory.size() << " + " << c.path;
    if (!c.fits) {
      EXPECT_EQ(status.message(), "the path is too long");
      EXPECT_EQ(resolved, "untouched");
    }
  }
  std::string canonical;
  EXPECT_TRUE(CanonicalizePath("C:\\" + std::string(256, 'c'), &canonical).ok());
  EXPECT_EQ(canonical.size(), 259u);
  EXPECT_FALSE(CanonicalizePath("C:\\" + std::string(257, 'c'), &canonical).ok());
}

TEST(PathsTest, SameFileByIdentityNotByName) {
  ScratchDirectory scratch;
  const std::string book = scratch.Path("book.pdf");
  WriteFile(book, "x");
  WriteFile(scratch.Path("other.pdf"), "x");
  CreateDirectoryA(scratch.Path("sub").c_str(), nullptr);
  ASSERT_TRUE(CreateHardLinkA(scratch.Path("link.pdf").c_str(), book.c_str(), nullptr));
  struct Case {
    std::string other;
    bool same;
  } cases[] = {
      {book, true},
      {scratch.Path("BOOK.PDF"), true},
      {scratch.Path("sub\\..\\book.pdf"), true},
      {scratch.path() + "/book.pdf", true},
      {scratch.Path("link.pdf"), true},
      {scratch.Path("other.pdf"), false},
      {scratch.Path("missing.pdf"), false},
      {scratch.Path("sub"), false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsSameFile(book, c.other), c.same) << c.other;
  EXPECT_FALSE(IsSameFile(scratch.Path("missing.pdf"), scratch.Path("missing.pdf")));
  EXPECT_TRUE(IsSameFile(scratch.Path("sub"), scratch.Path("sub\\.")));
}

}  // namespace
}  // namespace platform
}  // namespace vellox

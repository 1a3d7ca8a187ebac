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

TEST(PathsTest, SeparatorsAreBothSlashes) {
  EXPECT_TRUE(IsPathSeparator('\\'));
  EXPECT_TRUE(IsPathSeparator('/'));
  EXPECT_FALSE(IsPathSeparator(':'));
}

// As the system resolves a path for any call that opens a file.
TEST(PathsTest, CombineAndCanonicalize) {
  std::string current;
  ASSERT_TRUE(CurrentDirectory(&current).ok());
  struct Case {
    std::string directory;
    std::string path;
    std::string expected;
  } cases[] = {
      {"C:\\docs", "book.pdf", "C:\\docs\\book.pdf"},
      {"C:\\docs\\", "book.pdf", "C:\\docs\\book.pdf"},
      {"C:\\docs", "D:\\other\\book.pdf", "D:\\other\\book.pdf"},
      {"C:\\docs", "\\\\server\\share\\book.pdf", "\\\\server\\share\\book.pdf"},
      {"C:\\docs\\sub", "..\\book.pdf", "C:\\docs\\book.pdf"},
      {"C:\\docs", ".\\a\\.\\b\\..\\book.pdf", "C:\\docs\\a\\book.pdf"},
      {"C:\\", "..\\..\\book.pdf", "C:\\book.pdf"},
      {"", "book.pdf", current + "\\book.pdf"},
      // '/' separates as '\' does, in the directory too.
      {"C:\\Names", "Sub/..\\..\\Names\\B.pdf", "C:\\Names\\B.pdf"},
      {"C:/docs/sub", "../book.pdf", "C:\\docs\\book.pdf"},
      {"", "C:\\Names\\Sub/..\\..\\Names\\B.pdf", "C:\\Names\\B.pdf"},
      // A device path keeps its prefix; "\\?\" is passed on verbatim.
      {"C:\\docs", "\\\\.\\C:\\Books\\x.pdf", "\\\\.\\C:\\Books\\x.pdf"},
      {"", "\\\\.\\C:\\Books\\sub\\..\\x.pdf", "\\\\.\\C:\\Books\\x.pdf"},
      {"C:\\docs", "\\\\?\\C:\\Books\\sub\\..\\x.pdf", "\\\\?\\C:\\Books\\sub\\..\\x.pdf"},
  };
  for (const Case& c : cases) {
    std::string combined, resolved;
    ASSERT_TRUE(CombinePath(c.directory, c.path, &combined).ok());
    Status status = CanonicalizePath(combined, &resolved);
    ASSERT_TRUE(status.ok()) << c.directory << " + " << c.path << ": " << status.message();
    EXPECT_EQ(resolved, c.expected) << c.directory << " + " << c.path;
  }
}

TEST(PathsTest, RelativeOrNot) {
  for (const char* path : {"book.pdf", "sub\\book.pdf", ".\\book.pdf", "..\\book.pdf", "."})
    EXPECT_TRUE(IsRelativePath(path)) << path;
  for (const char* path : {"C:\\book.pdf", "C:/book.pdf", "C:book.pdf", "\\book.pdf", "/book.pdf",
                           "\\\\server\\share\\book.pdf", "\\\\.\\C:\\x.pdf", "\\\\?\\C:\\x.pdf"})
    EXPECT_FALSE(IsRelativePath(path)) << path;
}

// No limit of 260 characters: paths of any length come out whole, as the
// file functions take them (WidePath gives a long one in the "\\?\" form).
TEST(PathsTest, LongPathsAreResolvedWhole) {
  const std::string directory = "C:\\" + std::string(200, 'd') + "\\" + std::string(99, 'e');
  std::string combined, resolved;
  ASSERT_TRUE(CombinePath(directory, "sub\\..\\book.pdf", &combined).ok());
  ASSERT_TRUE(CanonicalizePath(combined, &resolved).ok());
  EXPECT_EQ(resolved, directory + "\\book.pdf");
  EXPECT_EQ(resolved.size(), 312u);
  ASSERT_TRUE(CanonicalizePath("\\\\?\\" + directory + "\\book.pdf", &resolved).ok());
  EXPECT_EQ(resolved, "\\\\?\\" + directory + "\\book.pdf");
  std::string current;
  ASSERT_TRUE(CurrentDirectory(&current).ok());
  ASSERT_TRUE(CanonicalizePath(std::string(3000, 'a'), &resolved).ok());
  EXPECT_EQ(resolved, current + "\\" + std::string(3000, 'a'));
}

TEST(PathsTest, TheCurrentDirectoryOrTheProgramsFolderIsTheBase) {
  ScratchDirectory scratch;
  char previous[MAX_PATH];
  ASSERT_NE(GetCurrentDirectoryA(MAX_PATH, previous), 0u);
  ASSERT_TRUE(SetCurrentDirectoryA(scratch.path().c_str()));
  std::string current;
  Status status = CurrentDirectory(&current);
  bool programFolder = true;
  const std::string plain = BaseDirectory("vellox", &programFolder);
  SetCurrentDirectoryA(previous);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_TRUE(IsSameFile(current, scratch.path())) << current;
  EXPECT_EQ(plain, current);
  EXPECT_FALSE(programFolder);
  EXPECT_EQ(BaseDirectory("C:\\tools\\vellox.exe", &programFolder), "C:\\tools\\");
  EXPECT_TRUE(programFolder);
  EXPECT_EQ(BaseDirectory("..\\bin\\vellox", &programFolder), "..\\bin\\");
  EXPECT_TRUE(programFolder);
  BaseDirectory("./bin/vellox", &programFolder);  // '/' is not looked for
  EXPECT_FALSE(programFolder);
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

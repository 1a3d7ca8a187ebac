#include "platform/files.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>
#include <string>
#include <vector>

#include "test_util.h"

namespace vellox {
namespace platform {
namespace {

using testing::ReadFile;
using testing::ScratchDirectory;
using testing::WriteFile;

TEST(FilesTest, TemporaryFilesAreNewBinaryAndBesideTheTarget) {
  ScratchDirectory scratch;
  const std::string target = scratch.Path("book.pdr");
  std::vector<std::string> paths;
  for (int i = 0; i < 2; ++i) {
    std::FILE* file = nullptr;
    std::string path;
    Status status = CreateTemporaryFile(target, &file, &path);
    ASSERT_TRUE(status.ok()) << status.message();
    EXPECT_EQ(path.substr(0, target.size() + 5), target + ".tmp-");
    // Line ends pass as they are: a text-mode stream would add a CR.
    ASSERT_GE(std::fputs("a\nb", file), 0);
    std::fclose(file);
    EXPECT_EQ(ReadFile(path), "a\nb");
    paths.push_back(path);
  }
  EXPECT_NE(paths[0], paths[1]);
  EXPECT_EQ(scratch.List().size(), 2u);
}

TEST(FilesTest, TemporaryFileInAMissingDirectoryIsAnError) {
  ScratchDirectory scratch;
  std::FILE* file = nullptr;
  std::string path;
  Status status = CreateTemporaryFile(scratch.Path("missing\\book.pdr"), &file, &path);
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.message(), "No such file or directory");
  EXPECT_EQ(file, nullptr);
}

TEST(FilesTest, ReplaceSwapsInTheNewFileOrLeavesTheOldOne) {
  ScratchDirectory scratch;
  const std::string target = scratch.Path("book.pdr");
  const std::string temporary = scratch.Path("book.pdr.tmp-test");
  WriteFile(target, "old");

  // Held open by a reader that does not share deletion: no replace.
  HANDLE reader = CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  WriteFile(temporary, "new");
  Status status = CommitTemporaryFile(temporary, target, Sync::kNow);
  CloseHandle(reader);
  EXPECT_FALSE(status.ok());
  EXPECT_FALSE(status.message().empty());
  EXPECT_EQ(status.message().find('\n'), std::string::npos);
  EXPECT_EQ(ReadFile(target), "old");

  status = CommitTemporaryFile(temporary, target, Sync::kNow);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(scratch.List(), std::vector<std::string>{"book.pdr"});

  // Also where there was no file before.
  WriteFile(temporary, "first");
  ASSERT_TRUE(CommitTemporaryFile(temporary, scratch.Path("fresh.pdr"), Sync::kNow).ok());
  EXPECT_EQ(ReadFile(scratch.Path("fresh.pdr")), "first");
}

TEST(FilesTest, RemoveFileIgnoresWhatIsNotThere) {
  ScratchDirectory scratch;
  WriteFile(scratch.Path("x"), "x");
  RemoveFile(scratch.Path("x"));
  RemoveFile(scratch.Path("x"));
  EXPECT_TRUE(scratch.List().empty());
}

TEST(FilesTest, ErrorTextIsOneLine) {
  EXPECT_EQ(ErrorText(ENOENT), "No such file or directory");
  for (int error = 1; error < 45; ++error) {
    std::string text = ErrorText(error);
    EXPECT_FALSE(text.empty()) << error;
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace platform
}  // namespace vellox

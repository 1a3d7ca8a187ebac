#include "platform/files.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/system_message_windows.h"
#include "test_util.h"

namespace vellox {
namespace platform {
namespace {

using testing::ReadFile;
using testing::ScratchDirectory;
using testing::WriteFile;

TEST(FilesTest, TemporaryFilesAreNewUntranslatedAndBesideTheTarget) {
  ScratchDirectory scratch;
  const std::string target = scratch.Path("book.pdr");
  std::vector<std::string> paths;
  for (int i = 0; i < 2; ++i) {
    std::unique_ptr<WritableFile> file;
    std::string path;
    Status status = CreateTemporaryFile(target, &file, &path);
    ASSERT_TRUE(status.ok()) << status.message();
    EXPECT_EQ(path.substr(0, target.size() + 5), target + ".tmp-");
    // Line ends pass as they are: no text mode adds a CR.
    ASSERT_TRUE(file->Append("a\nb").ok());
    ASSERT_TRUE(file->Close().ok());
    EXPECT_EQ(ReadFile(path), "a\nb");
    paths.push_back(path);
  }
  EXPECT_NE(paths[0], paths[1]);
  EXPECT_EQ(scratch.List().size(), 2u);
}

TEST(FilesTest, TemporaryFileInAMissingDirectoryIsAnError) {
  ScratchDirectory scratch;
  std::unique_ptr<WritableFile> file;
  std::string path;
  Status status = CreateTemporaryFile(scratch.Path("missing\\book.pdr"), &file, &path);
  EXPECT_EQ(status.code(), StatusCode::kNotFound) << status.message();
  EXPECT_FALSE(status.message().empty());
  EXPECT_EQ(status.message().find_first_of("\r\n"), std::string::npos);
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

// The read-only attribute refuses a write in place, so it refuses a
// replacement too.
TEST(FilesTest, AReadOnlyFileIsRefusedNotReplaced) {
  ScratchDirectory scratch;
  const std::string target = scratch.Path("book.pdr");
  WriteFile(target, "old");
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
  StatusOr<std::unique_ptr<AtomicFile>> file = AtomicFile::Open(target, Sync::kNow);
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_FALSE(file.ok());
  EXPECT_EQ(file.status().message(), Win32ErrorText(ERROR_ACCESS_DENIED));
  EXPECT_EQ(ReadFile(target), "old");
  EXPECT_EQ(scratch.List(), std::vector<std::string>{"book.pdr"});
}

// What is no file, and a symbolic link (which Windows does not follow
// here), is refused before anything is written; the link's target stays.
TEST(FilesTest, AFolderOrALinkIsRefusedNotReplaced) {
  ScratchDirectory scratch;
  const std::string folder = scratch.Path("folder.pdr");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  StatusOr<std::unique_ptr<AtomicFile>> file = AtomicFile::Open(folder, Sync::kNow);
  ASSERT_FALSE(file.ok());
  EXPECT_EQ(file.status().message(), "not a regular file");

  WriteFile(scratch.Path("other.pdf"), "a document");
  const std::string link = scratch.Path("book.pdr");
  // Allowed to unprivileged users only in developer mode; Wine 8 says it
  // made one and makes nothing.
  constexpr DWORD kUnprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
  if (!CreateSymbolicLinkA(link.c_str(), scratch.Path("other.pdf").c_str(), kUnprivileged) ||
      GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "no symbolic links here";
  file = AtomicFile::Open(link, Sync::kNow);
  ASSERT_FALSE(file.ok());
  EXPECT_EQ(file.status().message(), "a symbolic link, which is not followed on Windows");
  EXPECT_EQ(ReadFile(scratch.Path("other.pdf")), "a document");
}

// The in-place rewrite, for where no temporary file can be created: the
// file ends up holding exactly the new bytes, whatever its old length.
TEST(FilesTest, OverwriteFileLeavesExactlyTheNewBytes) {
  ScratchDirectory scratch;
  const std::string target = scratch.Path("book.pdr");
  struct Case {
    const char* what;
    std::string old;
    std::string fresh;
  } cases[] = {
      {"longer old content", std::string(100000, 'x'), "new"},
      {"shorter old content", "old", std::string(100000, 'n')},
      {"no new content", "old", ""},
  };
  for (const Case& c : cases) {
    WriteFile(target, c.old);
    Status status = OverwriteFile(target, c.fresh, Sync::kNow);
    EXPECT_TRUE(status.ok()) << c.what << ": " << status.message();
    EXPECT_TRUE(ReadFile(target) == c.fresh) << c.what;
  }
  Status status = OverwriteFile(scratch.Path("missing.pdr"), "new", Sync::kNow);
  EXPECT_EQ(status.code(), StatusCode::kNotFound) << status.message();
  EXPECT_EQ(scratch.List(), std::vector<std::string>{"book.pdr"});
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

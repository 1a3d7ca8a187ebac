#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "test_util.h"

namespace vellox {
namespace platform {
namespace {

using vellox::testing::ReadFile;
using vellox::testing::ScratchDirectory;
using vellox::testing::WriteFile;

// Writes `bytes` to `target` the way the bookmark writer does.
void WriteAtomically(const std::string& target, const std::string& bytes) {
  std::FILE* file = nullptr;
  std::string temporary;
  ASSERT_TRUE(CreateTemporaryFile(target, &file, &temporary).ok());
  EXPECT_EQ(temporary.compare(0, target.size(), target), 0) << temporary;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  ASSERT_TRUE(CommitTemporaryFile(temporary, target, Sync::kNow).ok());
}

mode_t ModeOf(const std::string& path) {
  struct stat info;
  EXPECT_EQ(stat(path.c_str(), &info), 0);
  return info.st_mode & 07777;
}

TEST(FilesTest, NewFileGetsUmaskPermissionsAndReplacedFileKeepsItsOwn) {
  ScratchDirectory scratch;
  mode_t old = umask(027);
  std::string fresh = scratch.Path("fresh.pdr");
  WriteAtomically(fresh, "new");
  std::string kept = scratch.Path("kept.pdr");
  WriteFile(kept, "old");
  chmod(kept.c_str(), 0604);
  WriteAtomically(kept, "new");
  umask(old);

  EXPECT_EQ(ModeOf(fresh), 0640u);
  EXPECT_EQ(ModeOf(kept), 0604u);
  EXPECT_EQ(ReadFile(kept), "new");
}

TEST(FilesTest, TemporaryFilesNeverCollide) {
  ScratchDirectory scratch;
  std::string target = scratch.Path("book.pdr");
  std::FILE* files[20];
  std::string paths[20];
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(CreateTemporaryFile(target, &files[i], &paths[i]).ok());
  for (int i = 0; i < 20; ++i) {
    for (int j = 0; j < i; ++j) EXPECT_NE(paths[i], paths[j]);
    std::fclose(files[i]);
    RemoveFile(paths[i]);
  }
  EXPECT_TRUE(scratch.List().empty());
}

}  // namespace
}  // namespace platform
}  // namespace vellox

#include "platform/files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/atomic_file.h"
#include "test_util.h"

namespace vellox {
namespace platform {
namespace {

using vellox::testing::ReadFile;
using vellox::testing::ScratchDirectory;
using vellox::testing::WriteFile;

Status WriteAtomically(const std::string& target, const std::string& bytes) {
  StatusOr<std::unique_ptr<AtomicFile>> file = AtomicFile::Open(target, Sync::kNow);
  if (!file.ok()) return file.status();
  (*file)->Append(bytes);
  return (*file)->Commit();
}

mode_t ModeOf(const std::string& path) {
  struct stat info;
  EXPECT_EQ(stat(path.c_str(), &info), 0);
  return info.st_mode & 07777;
}

ino_t InodeOf(const std::string& path) {
  struct stat info;
  EXPECT_EQ(stat(path.c_str(), &info), 0);
  return info.st_ino;
}

TEST(FilesTest, NewFileGetsUmaskPermissionsAndReplacedFileKeepsItsOwn) {
  ScratchDirectory scratch;
  mode_t old = umask(027);
  std::string fresh = scratch.Path("fresh.pdr");
  EXPECT_TRUE(WriteAtomically(fresh, "new").ok());
  std::string kept = scratch.Path("kept.pdr");
  WriteFile(kept, "old");
  chmod(kept.c_str(), 0604);
  EXPECT_TRUE(WriteAtomically(kept, "new").ok());
  umask(old);

  EXPECT_EQ(ModeOf(fresh), 0640u);
  EXPECT_EQ(ModeOf(kept), 0604u);
  EXPECT_EQ(ReadFile(kept), "new");
}

TEST(FilesTest, TemporaryFilesNeverCollide) {
  ScratchDirectory scratch;
  std::string target = scratch.Path("book.pdr");
  std::unique_ptr<WritableFile> files[20];
  std::string paths[20];
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(CreateTemporaryFile(target, &files[i], &paths[i]).ok());
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(paths[i].compare(0, target.size(), target), 0) << paths[i];
    for (int j = 0; j < i; ++j) EXPECT_NE(paths[i], paths[j]);
    files[i].reset();
    RemoveFile(paths[i]);
  }
  EXPECT_TRUE(scratch.List().empty());
}

// Lowers the file size limit, which stands in for a full disk: writes past
// it fail with EFBIG.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &previous);
    struct rlimit lowered = previous;
    lowered.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lowered);
    previousAction = signal(SIGXFSZ, SIG_IGN);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous);
    signal(SIGXFSZ, previousAction);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  struct rlimit previous;
  void (*previousAction)(int);
};

// Wherever the disk fills up, in the first buffer, a later one or the
// last, that first failure is what Commit reports, also when there is
// room again by then, and the old file stays.
TEST(AtomicFileTest, AFailedWriteIsReportedAtCommit) {
  ScratchDirectory scratch;
  const std::string target = scratch.Path("book.pdr");
  const std::size_t size = 200000;
  struct Case {
    rlim_t limit;
    bool roomAgainAtCommit;
  } cases[] = {
      {0, true}, {1000, true}, {65536, true}, {100000, true}, {size - 1, false},
  };
  for (const Case& c : cases) {
    WriteFile(target, "old");
    std::optional<FileSizeLimit> limited;
    limited.emplace(c.limit);
    StatusOr<std::unique_ptr<AtomicFile>> file = AtomicFile::Open(target, Sync::kNow);
    Status status = file.status();
    if (file.ok()) {
      for (std::size_t done = 0; done < size; done += 4) (*file)->Append("abcd");
      if (c.roomAgainAtCommit) limited.reset();
      status = (*file)->Commit();
    }
    limited.reset();
    EXPECT_EQ(status.message(), "File too large") << "limit " << c.limit;
    const std::string kept = ReadFile(target);
    EXPECT_TRUE(kept == "old") << "limit " << c.limit << ": " << kept.size() << " bytes";
    EXPECT_EQ(scratch.List(), std::vector<std::string>{"book.pdr"}) << "limit " << c.limit;
  }
}

TEST(AtomicFileTest, AFileTheUserMayNotWriteIsRefused) {
  if (geteuid() == 0) GTEST_SKIP() << "root may write any file";
  ScratchDirectory scratch;
  const std::string target = scratch.Path("book.pdr");
  WriteFile(target, "old");
  chmod(target.c_str(), 0444);
  StatusOr<std::unique_ptr<AtomicFile>> file = AtomicFile::Open(target, Sync::kNow);
  ASSERT_FALSE(file.ok());
  EXPECT_EQ(file.status().message(), "Permission denied");
  EXPECT_EQ(ReadFile(target), "old");
  EXPECT_EQ(scratch.List(), std::vector<std::string>{"book.pdr"});
}

// A name with no room for the temporary file's suffix: an existing file
// is rewritten in place, at Commit, keeping its inode and permissions, or
// left whole when the new bytes do not fit; a missing one cannot be
// written at all.
TEST(AtomicFileTest, WhereNoTemporaryFileFitsAFileIsRewrittenInPlace) {
  ScratchDirectory scratch;
  const std::string name = std::string(250, 'b') + ".pdr";
  const std::string target = scratch.Path(name);
  const std::string fresh(1000, 'n');
  struct Case {
    const char* what;
    std::string old;
    rlim_t limit;
    const char* reason;  // empty when it succeeds
  } cases[] = {
      {"longer old content", std::string(100000, 'x'), RLIM_INFINITY, ""},
      {"shorter old content", "old", RLIM_INFINITY, ""},
      {"no room for the new content", "old", 999, "File too large"},
  };
  for (const Case& c : cases) {
    WriteFile(target, c.old);
    chmod(target.c_str(), 0604);
    const ino_t before = InodeOf(target);
    Status status;
    {
      FileSizeLimit limited(c.limit);
      StatusOr<std::unique_ptr<AtomicFile>> file = AtomicFile::Open(target, Sync::kNow);
      ASSERT_TRUE(file.ok()) << c.what << ": " << file.status().message();
      (*file)->Append(fresh);
      EXPECT_EQ(ReadFile(target), c.old) << c.what;
      status = (*file)->Commit();
    }
    EXPECT_EQ(status.message(), c.reason) << c.what;
    EXPECT_EQ(ReadFile(target), status.ok() ? fresh : c.old) << c.what;
    EXPECT_EQ(InodeOf(target), before) << c.what;
    EXPECT_EQ(ModeOf(target), 0604u) << c.what;
    EXPECT_EQ(scratch.List(), std::vector<std::string>{name}) << c.what;
  }

  RemoveFile(target);
  StatusOr<std::unique_ptr<AtomicFile>> file = AtomicFile::Open(target, Sync::kNow);
  ASSERT_FALSE(file.ok());
  EXPECT_EQ(file.status().message(), "File name too long");
  EXPECT_TRUE(scratch.List().empty());
}

}  // namespace
}  // namespace platform
}  // namespace vellox

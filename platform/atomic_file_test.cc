#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "test_util.h"

namespace vellox {
namespace platform {
namespace {

using testing::ReadFile;
using testing::ScratchDirectory;
using testing::WriteFile;

std::unique_ptr<AtomicFile> OpenOrFail(const std::string& path) {
  StatusOr<std::unique_ptr<AtomicFile>> file = AtomicFile::Open(path, Sync::kNow);
  EXPECT_TRUE(file.ok()) << file.status().message();
  return file.ok() ? std::move(file).value() : nullptr;
}

// Many writes of one to four bytes, as the bookmark writer makes them,
// passing over the buffer's edges at every offset; `bytes` gets the
// same bytes in one piece.
void AppendInSmallPieces(AtomicFile* file, std::string* bytes) {
  for (int i = 0; bytes->size() < 300000; ++i) {
    const std::string piece(static_cast<std::size_t>(1 + i % 4), static_cast<char>('a' + i % 26));
    file->Append(piece);
    *bytes += piece;
  }
}

TEST(AtomicFileTest, TheTargetHoldsTheOldBytesOrAllTheNew) {
  struct Case {
    const char* what;
    std::optional<std::string> old;  // none: no file there
    std::function<void(AtomicFile*, std::string*)> write;
    bool commit;
  } cases[] = {
      {"a new file", std::nullopt, [](AtomicFile* f, std::string* b) { f->Append(*b = "new"); },
       true},
      {"an existing file replaced", std::string(100000, 'x'),
       [](AtomicFile* f, std::string* b) { f->Append(*b = "new"); }, true},
      {"nothing written", std::string("old"), [](AtomicFile*, std::string*) {}, true},
      {"many small writes", std::nullopt, AppendInSmallPieces, true},
      {"a new file abandoned", std::nullopt, AppendInSmallPieces, false},
      {"an existing file abandoned", std::string("old"), AppendInSmallPieces, false},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    const std::string target = scratch.Path("book.pdr");
    if (c.old) WriteFile(target, *c.old);
    std::unique_ptr<AtomicFile> file = OpenOrFail(target);
    ASSERT_NE(file, nullptr) << c.what;
    std::string written;
    c.write(file.get(), &written);
    if (c.commit) {
      Status status = file->Commit();
      EXPECT_TRUE(status.ok()) << c.what << ": " << status.message();
    }
    file.reset();

    std::optional<std::string> expected = c.commit ? std::optional<std::string>(written) : c.old;
    if (expected) {
      EXPECT_TRUE(ReadFile(target) == *expected) << c.what;
      EXPECT_EQ(scratch.List(), std::vector<std::string>{"book.pdr"}) << c.what;
    } else {
      EXPECT_TRUE(scratch.List().empty()) << c.what;
    }
  }
}

TEST(AtomicFileTest, WritesGoToATemporaryFileBesideTheTarget) {
  ScratchDirectory scratch;
  const std::string target = scratch.Path("book.pdr");
  WriteFile(target, "old");
  std::unique_ptr<AtomicFile> file = OpenOrFail(target);
  ASSERT_NE(file, nullptr);
  std::string written;
  AppendInSmallPieces(file.get(), &written);

  EXPECT_EQ(ReadFile(target), "old");
  std::vector<std::string> names = scratch.List();
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0], "book.pdr");
  EXPECT_EQ(names[1].substr(0, 13), "book.pdr.tmp-");
  EXPECT_EQ(names[1].size(), 13u + 8u);
  // Most of the bytes are there already: the buffer does not hold them all.
  EXPECT_GT(ReadFile(scratch.Path(names[1])).size(), written.size() / 2);
  EXPECT_TRUE(file->Commit().ok());
}

TEST(AtomicFileTest, NoFileIsCreatedInAMissingFolder) {
  ScratchDirectory scratch;
  StatusOr<std::unique_ptr<AtomicFile>> file =
      AtomicFile::Open(scratch.Path("missing/book.pdr"), Sync::kNow);
  ASSERT_FALSE(file.ok());
  EXPECT_EQ(file.status().code(), StatusCode::kNotFound) << file.status().message();
  EXPECT_TRUE(scratch.List().empty());
}

// The bytes are all written before the rename fails (a folder took the
// target's name meanwhile): the failure is reported, and the temporary
// file goes.
TEST(AtomicFileTest, AFailedRenameLeavesWhatWasThere) {
  ScratchDirectory scratch;
  const std::string target = scratch.Path("book.pdr");
  std::unique_ptr<AtomicFile> file = OpenOrFail(target);
  ASSERT_NE(file, nullptr);
  file->Append("new");
  std::filesystem::create_directory(target);
  WriteFile(scratch.Path("book.pdr/inside"), "kept");
  Status status = file->Commit();
  EXPECT_FALSE(status.ok());
  EXPECT_FALSE(status.message().empty());
  EXPECT_EQ(ReadFile(scratch.Path("book.pdr/inside")), "kept");
  EXPECT_EQ(scratch.List(), std::vector<std::string>{"book.pdr"});
}

}  // namespace
}  // namespace platform
}  // namespace vellox

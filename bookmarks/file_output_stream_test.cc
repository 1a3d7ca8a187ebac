#include "bookmarks/file_output_stream.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "test_util.h"

namespace vellox {
namespace {

using testing::Bytes;
using testing::ReadFile;
using testing::ScratchDirectory;
using testing::WriteFile;

// A stream over a new file at `path`.
FileOutputStream* OpenStream(const std::string& path) {
  StatusOr<std::unique_ptr<platform::AtomicFile>> file =
      platform::AtomicFile::Open(path, platform::Sync::kNow);
  EXPECT_TRUE(file.ok()) << file.status().message();
  return file.ok() ? new FileOutputStream(std::move(file).value()) : nullptr;
}

TEST(FileOutputStreamTest, EachWriteHasItsByteOrder) {
  struct Case {
    const char* name;
    std::function<void(OutputStream*)> write;
    std::string expected;
  } cases[] = {
      {"U8", [](OutputStream* s) { s->WriteU8(0xAB); }, Bytes({0xAB})},
      {"U16BE", [](OutputStream* s) { s->WriteU16BE(65000); }, Bytes({0xFD, 0xE8})},
      {"U16LE", [](OutputStream* s) { s->WriteU16LE(65000); }, Bytes({0xE8, 0xFD})},
      {"U24BE drops the top byte", [](OutputStream* s) { s->WriteU24BE(0x12345678); },
       Bytes({0x34, 0x56, 0x78})},
      {"U24LE drops the top byte", [](OutputStream* s) { s->WriteU24LE(0x12345678); },
       Bytes({0x78, 0x56, 0x34})},
      {"U32BE", [](OutputStream* s) { s->WriteU32BE(0xDEADCABB); },
       Bytes({0xDE, 0xAD, 0xCA, 0xBB})},
      {"U32LE", [](OutputStream* s) { s->WriteU32LE(0xDEADCABB); },
       Bytes({0xBB, 0xCA, 0xAD, 0xDE})},
      {"U64BE", [](OutputStream* s) { s->WriteU64BE(0x0102030405060708ull); },
       Bytes({1, 2, 3, 4, 5, 6, 7, 8})},
      {"U64LE", [](OutputStream* s) { s->WriteU64LE(0x0102030405060708ull); },
       Bytes({8, 7, 6, 5, 4, 3, 2, 1})},
      {"bytes with NULs", [](OutputStream* s) { s->WriteBytes("a\0b", 3); },
       Bytes({'a', 0, 'b'})},
      {"no bytes", [](OutputStream* s) { s->WriteBytes("abc", 0); }, ""},
  };
  ScratchDirectory scratch;
  for (const Case& c : cases) {
    std::string path = scratch.Path("out.bin");
    FileOutputStream* stream = OpenStream(path);
    ASSERT_NE(stream, nullptr);
    c.write(stream);
    ASSERT_TRUE(stream->Commit().ok());
    EXPECT_EQ(stream->Release(), 0);
    EXPECT_EQ(ReadFile(path), c.expected) << c.name;
  }
}

TEST(FileOutputStreamTest, ReferenceCountDecidesWhenTheStreamGoes) {
  ScratchDirectory scratch;
  FileOutputStream* stream = OpenStream(scratch.Path("out.bin"));
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->AddRef(), 2);
  EXPECT_EQ(stream->Release(), 1);
  // Still alive, and still holding its file.
  stream->WriteU8(7);
  EXPECT_TRUE(stream->Commit().ok());
  EXPECT_EQ(ReadFile(scratch.Path("out.bin")), Bytes({7}));
  EXPECT_EQ(stream->Release(), 0);
}

// The last Release of a stream that was not committed takes its temporary
// file with it.
TEST(FileOutputStreamTest, ReleasedWithoutCommitTheTargetStays) {
  ScratchDirectory scratch;
  const std::string path = scratch.Path("book.pdr");
  WriteFile(path, "old contents");
  FileOutputStream* stream = OpenStream(path);
  ASSERT_NE(stream, nullptr);
  stream->WriteBytes("new", 3);
  EXPECT_EQ(stream->Release(), 0);
  EXPECT_EQ(ReadFile(path), "old contents");
  EXPECT_EQ(scratch.List(), std::vector<std::string>{"book.pdr"});
}

}  // namespace
}  // namespace vellox

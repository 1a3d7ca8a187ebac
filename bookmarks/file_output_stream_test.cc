#include "bookmarks/file_output_stream.h"

#include <gtest/gtest.h>

#include <functional>

#include "test_util.h"

namespace vellox {
namespace {

using testing::Bytes;
using testing::ReadFile;
using testing::ScratchDirectory;
using testing::WriteFile;

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
    FileOutputStream* stream = new FileOutputStream(path);
    ASSERT_TRUE(stream->IsOpen());
    c.write(stream);
    ASSERT_TRUE(stream->Commit().ok());
    EXPECT_EQ(stream->Release(), 0);
    EXPECT_EQ(ReadFile(path), c.expected) << c.name;
  }
}

TEST(FileOutputStreamTest, ReferenceCountDecidesWhenTheStreamGoes) {
  ScratchDirectory scratch;
  FileOutputStream* stream = new FileOutputStream(scratch.Path("out.bin"));
  EXPECT_EQ(stream->AddRef(), 2);
  EXPECT_EQ(stream->Release(), 1);
  EXPECT_TRUE(stream->IsOpen());  // still alive, file still held
  EXPECT_EQ(stream->Release(), 0);
}

TEST(FileOutputStreamTest, TargetChangesOnlyOnCommit) {
  ScratchDirectory scratch;
  std::string path = scratch.Path("book.pdr");
  WriteFile(path, "old contents");

  FileOutputStream* abandoned = new FileOutputStream(path);
  abandoned->WriteBytes("new", 3);
  EXPECT_EQ(ReadFile(path), "old contents");
  abandoned->Release();  // without Commit: the temporary file goes
  EXPECT_EQ(ReadFile(path), "old contents");
  EXPECT_EQ(scratch.List(), std::vector<std::string>{"book.pdr"});

  FileOutputStream* committed = new FileOutputStream(path);
  committed->WriteBytes("new", 3);
  ASSERT_TRUE(committed->Commit().ok());
  committed->Release();
  EXPECT_EQ(ReadFile(path), "new");
  EXPECT_EQ(scratch.List(), std::vector<std::string>{"book.pdr"});
}

TEST(FileOutputStreamTest, OpenFailureIsReportedAndHoldsNoFile) {
  ScratchDirectory scratch;
  FileOutputStream* stream = new FileOutputStream(scratch.Path("no/such/dir/x.pdr"));
  EXPECT_FALSE(stream->IsOpen());
  EXPECT_FALSE(stream->OpenStatus().ok());
  EXPECT_FALSE(stream->Commit().ok());
  EXPECT_EQ(stream->Release(), 0);
}

}  // namespace
}  // namespace vellox

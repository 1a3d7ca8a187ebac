#include "bookmarks/bookmark_file_decoder.h"

#include <gtest/gtest.h>

#include "bookmarks/bookmark_list.h"
#include "platform/code_page.h"
#include "test_util.h"

namespace vellox {
namespace {

using testing::Bytes;

const std::string kHeader = Bytes({0xDE, 0xAD, 0xCA, 0xBB, 1, 0, 0, 0, 0});

TEST(BookmarkFileDecoderTest, ReadsBackWhatTheWriterWrote) {
  platform::InitializeCodePage();
  testing::ScratchDirectory scratch;
  BookmarkList list;
  list.Append({0, "Preface"});
  list.Append({11, "  Part A"});
  list.Append({-5, std::string(70000, 'x')});
  ASSERT_TRUE(list.SaveToFile(scratch.Path("b.pdr")).ok());

  StatusOr<std::vector<BookmarkEntry>> decoded =
      DecodeBookmarkFile(testing::ReadFile(scratch.Path("b.pdr")));
  ASSERT_TRUE(decoded.ok()) << decoded.status().message();
  const std::vector<BookmarkEntry>& records = *decoded;
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].text, "0000000001 Preface");
  EXPECT_EQ(records[1].page, 11);
  EXPECT_EQ(records[2].page, -5);
  EXPECT_EQ(records[2].text.size(), 65000u);
}

TEST(BookmarkFileDecoderTest, NamesTheFaultAndItsOffset) {
  struct Case {
    std::string bytes;
    const char* reason;
    std::size_t offset;
  } cases[] = {
      {"", "the header is incomplete", 0},
      {(kHeader + Bytes({0, 0, 0, 0})).substr(0, 10), "the header is incomplete", 10},
      {Bytes({0xDE, 0xAD, 0xCA, 0xBC, 1, 0, 0, 0, 0, 0, 0, 0, 0}), "wrong magic number", 0},
      {Bytes({0xDE, 0xAD, 0xCA, 0xBB, 2, 0, 0, 0, 0, 0, 0, 0, 0}), "unknown version", 4},
      {Bytes({0xDE, 0xAD, 0xCA, 0xBB, 1, 0, 0, 1, 0, 0, 0, 0, 0}), "reserved field is not zero", 5},
      {kHeader + Bytes({0xFF, 0xFF, 0xFF, 0xFF}), "more records announced than the file holds", 9},
      {kHeader + Bytes({0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0}), "record does not start with 0", 13},
      {kHeader + Bytes({0, 0, 0, 1, 0, 0, 0, 0, 0, 0xFD, 0xE9}), "text longer than 65000 bytes", 18},
      {kHeader + Bytes({0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 5, 'a', 'b'}), "record 1 is incomplete", 13},
      {kHeader + Bytes({0, 0, 0, 0, 7}), "data after the last record", 13},
  };
  for (const Case& c : cases) {
    StatusOr<std::vector<BookmarkEntry>> decoded = DecodeBookmarkFile(c.bytes);
    ASSERT_FALSE(decoded.ok()) << c.reason;
    EXPECT_EQ(decoded.status().code(), StatusCode::kInvalidData) << c.reason;
    EXPECT_EQ(decoded.status().message(), c.reason + (" at byte " + std::to_string(c.offset)));
  }
}

}  // namespace
}  // namespace vellox

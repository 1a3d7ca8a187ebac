#include "bookmarks/bookmark_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/code_page.h"
#include "test_util.h"

namespace vellox {
namespace {

using testing::Bytes;
using testing::ReadFile;
using testing::ScratchDirectory;
using testing::WriteFile;

std::string BigEndian32(std::uint32_t v) {
  return Bytes({int(v >> 24) & 0xFF, int(v >> 16) & 0xFF, int(v >> 8) & 0xFF, int(v) & 0xFF});
}

// The file layout written out independently of the writer.
std::string Header(std::uint32_t count) {
  return Bytes({0xDE, 0xAD, 0xCA, 0xBB, 0x01, 0, 0, 0, 0}) + BigEndian32(count);
}

std::string Record(std::int32_t page, const std::string& text) {
  std::uint16_t length = static_cast<std::uint16_t>(text.size());
  return Bytes({0}) + BigEndian32(static_cast<std::uint32_t>(page)) +
         Bytes({length >> 8, length & 0xFF}) + text;
}

BookmarkList ListOf(const std::vector<BookmarkEntry>& entries) {
  BookmarkList list;
  for (const BookmarkEntry& entry : entries) list.Append(entry);
  return list;
}

class BookmarkListTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::InitializeCodePage(); }

  std::string Save(BookmarkList list) {
    std::string path = scratch.Path("book.pdr");
    Status status = list.SaveToFile(path);
    EXPECT_TRUE(status.ok()) << status.message();
    return ReadFile(path);
  }

  ScratchDirectory scratch;
};

TEST_F(BookmarkListTest, WritesTheFileByteForByte) {
  struct Case {
    const char* name;
    std::vector<BookmarkEntry> entries;
    std::string expected;
  } cases[] = {
      {"empty list", {}, Bytes({0xDE, 0xAD, 0xCA, 0xBB, 1, 0, 0, 0, 0, 0, 0, 0, 0})},
      {"child indented, width 2",
       {{0, "Preface"}, {11, "  Part A"}},
       Header(2) + Record(0, "01 Preface") + Record(11, "12   Part A")},
      {"page -1 gives width 0 and label 0", {{-1, "X"}}, Header(1) + Record(-1, "0 X")},
      {"a page below -1 makes every label 10 wide",
       {{-5, "A"}, {3, "B"}},
       Header(2) + Record(-5, "-000000004 A") + Record(3, "0000000004 B")},
      {"empty text keeps the label's space",
       {{4, ""}, {10, "K"}},
       Header(2) + Record(4, "05 ") + Record(10, "11 K")},
      {"percent signs are text, not format", {{0, "100% %d %s"}},
       Header(1) + Record(0, "1 100% %d %s")},
      {"largest page wraps to a negative label",
       {{2147483647, "Z"}},
       Header(1) + Record(2147483647, "-2147483648 Z")},
  };
  for (const Case& c : cases) EXPECT_EQ(Save(ListOf(c.entries)), c.expected) << c.name;
}

TEST_F(BookmarkListTest, LabelWidthIsTheDigitCountOfTheLargestLabel) {
  struct Case {
    std::vector<std::int32_t> pages;
    std::uint32_t width;
  } cases[] = {
      {{}, 0},          {{-1}, 0},           {{0, 8}, 1},       {{0, 8, 9}, 2},
      {{98}, 2},        {{99}, 3},           {{-5}, 10},        {{2147483646}, 10},
  };
  for (const Case& c : cases) {
    BookmarkList list;
    for (std::int32_t page : c.pages) list.Append({page, "t"});
    list.UpdateLabelWidth();
    EXPECT_EQ(list.LabelWidth(), c.width) << "first page " << (c.pages.empty() ? 0 : c.pages[0]);
  }
}

TEST_F(BookmarkListTest, CutsRecordTextAt65000BytesOnACharacterBoundary) {
  const std::string e = "\xC3\xA9";  // a two-byte character
  struct Case {
    const char* name;
    std::string text;  // label is "1 " (2 bytes)
    std::size_t expectedLength;
  } cases[] = {
      {"exactly 65000 with the label", std::string(64998, 'a'), 65000},
      {"one byte more loses the last byte", std::string(64999, 'a'), 65000},
      {"text alone longer than the limit", std::string(70000, 'b'), 65000},
      {"a two-byte character across the limit is dropped whole",
       std::string(64997, 'a') + e + "zz", 64999},
      {"a two-byte character ending at the limit stays",
       std::string(64996, 'a') + e + "zz", 65000},
  };
  // The two-byte rows need a code page in which those bytes are one
  // character (UTF-8); in a single-byte code page they are two.
  const bool utf8 = platform::CharacterLength(e.data(), e.size()) == 2;
  for (const Case& c : cases) {
    if (!utf8 && c.text.find(e) != std::string::npos) continue;
    std::string file = Save(ListOf({{0, c.text}}));
    std::string expectedText = ("1 " + c.text).substr(0, c.expectedLength);
    EXPECT_EQ(file, Header(1) + Record(0, expectedText)) << c.name;
  }
}

// Printed labels: digits are padded to the widest label that is all
// digits, a page number standing in for a missing label included; other
// labels are written as they are.
TEST_F(BookmarkListTest, PrintedLabels) {
  const std::string wide(300, 'w');
  struct Case {
    const char* name;
    std::vector<BookmarkEntry> entries;
    std::string expected;
  } cases[] = {
      {"roman and a page number",
       {{0, "Preface", "iv"}, {11, "Part A"}},
       Header(2) + Record(0, "iv Preface") + Record(11, "12 Part A")},
      {"digits padded to the widest digits",
       {{0, "A", "7"}, {5, "B", "123"}, {6, "C", "A-1"}},
       Header(3) + Record(0, "007 A") + Record(5, "123 B") + Record(6, "A-1 C")},
      {"a page number padded to a wider printed label",
       {{0, "A", "1000"}, {4, "B"}},
       Header(2) + Record(0, "1000 A") + Record(4, "0005 B")},
      {"wider than any page number",
       {{0, "A", "000000000000"}, {2, "B"}},
       Header(2) + Record(0, "000000000000 A") + Record(2, "000000000003 B")},
      {"wider than a label buffer",
       {{0, "A", std::string(40, '0')}, {2, "B"}},
       Header(2) + Record(0, std::string(40, '0') + " A") +
           Record(2, std::string(39, '0') + "3 B")},
      {"a long label is cut",
       {{0, "A", wide}},
       Header(1) + Record(0, wide.substr(0, BookmarkList::kMaxPrintedLabel) + " A")},
  };
  for (const Case& c : cases) EXPECT_EQ(Save(ListOf(c.entries)), c.expected) << c.name;

  // Label and text still end at 65000 bytes together.
  std::string file = Save(ListOf({{0, std::string(70000, 't'), wide}}));
  EXPECT_EQ(file, Header(1) + Record(0, (wide.substr(0, BookmarkList::kMaxPrintedLabel) + " " +
                                         std::string(70000, 't'))
                                            .substr(0, 65000)));
}

TEST_F(BookmarkListTest, ReplacesAnExistingFileWholly) {
  std::string path = scratch.Path("book.pdr");
  WriteFile(path, std::string(1000, 'x'));
  BookmarkList list = ListOf({{0, "A"}});
  ASSERT_TRUE(list.SaveToFile(path).ok());
  std::string first = ReadFile(path);
  EXPECT_EQ(first, Header(1) + Record(0, "1 A"));
  ASSERT_TRUE(list.SaveToFile(path).ok());
  EXPECT_EQ(ReadFile(path), first);
  EXPECT_EQ(scratch.List(), std::vector<std::string>{"book.pdr"});  // no temporary left
}

// The caller names the file; the failure is the reason alone.
TEST_F(BookmarkListTest, FailureGivesTheReasonAndLeavesNothingBehind) {
  std::string path = scratch.Path("missing/book.pdr");
  Status status = ListOf({{0, "A"}}).SaveToFile(path);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.code(), StatusCode::kNotFound);
  EXPECT_FALSE(status.message().empty());
  EXPECT_EQ(status.message().find("book.pdr"), std::string::npos) << status.message();
  EXPECT_TRUE(scratch.List().empty());
}

}  // namespace
}  // namespace vellox

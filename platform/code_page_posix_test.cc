#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "platform/wide_text.h"

namespace vellox {
namespace platform {
namespace {

std::u16string Wide(const std::string& bytes) {
  BSTR s = AllocStringFromBytes(bytes);
  std::u16string wide(s, SysStringLen(s));
  SysFreeString(s);
  return wide;
}

class CodePageTest : public ::testing::Test {
 protected:
  void SetUp() override { InitializeCodePage(); }
};

TEST_F(CodePageTest, StepsByWholeUtf8Characters) {
  struct Case {
    std::string s;
    std::size_t length;
  } cases[] = {
      {"a", 1},           {"\xC3\xA9", 2},      {"\xE2\x82\xAC", 3},
      {"\xF0\x9F\x98\x80", 4},
      {"\xC3", 1},        // truncated
      {"\xC0\xAE", 1},    // overlong '.'
      {"\xED\xA0\x80", 1},  // a surrogate
      {"\xFF", 1},        {"\x80", 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CharacterLength(c.s.data(), c.s.size()), c.length) << c.s;
}

TEST_F(CodePageTest, FindsAndCutsOnlyAtCharacterBoundaries) {
  EXPECT_EQ(FindLastCharacter("a.b.c", '.'), 3u);
  EXPECT_EQ(FindLastCharacter("a.b.c", '.', 4), std::string::npos);
  EXPECT_EQ(FindLastCharacter("abc", '.'), std::string::npos);
  const std::string s = "ab\xE2\x82\xAC" "cd";
  EXPECT_EQ(CharacterBoundaryAtOrBelow(s, 100), s.size());
  EXPECT_EQ(CharacterBoundaryAtOrBelow(s, 5), 5u);
  EXPECT_EQ(CharacterBoundaryAtOrBelow(s, 4), 2u);
  EXPECT_EQ(CharacterBoundaryAtOrBelow(s, 3), 2u);
}

TEST_F(CodePageTest, EveryByteStringSurvivesTheTripThroughUtf16) {
  const std::string cases[] = {
      "/home/u/book.pdf", "/d/caf\xC3\xA9.pdf", "/d/\xF0\x9F\x98\x80.pdf",
      "/d/latin1-\xE9t\xE9.pdf", "/d/\xFF\xFE\x80.pdf", "/d/\xED\xB2\x80.pdf",
      std::string("nul\0inside", 10),
  };
  for (const std::string& bytes : cases) {
    std::u16string wide = Wide(bytes);
    EXPECT_EQ(BytesFromWide(wide.data(), wide.size()), bytes) << bytes;
  }
  EXPECT_EQ(Wide("caf\xC3\xA9"), u"caf\u00E9");
  EXPECT_EQ(Wide("\xF0\x9F\x98\x80"), u"\U0001F600");
}

TEST_F(CodePageTest, TextStopsAtNulAndMarksWhatCannotBeShown) {
  EXPECT_EQ(TextFromWide(nullptr), "");
  EXPECT_EQ(TextFromWide(u""), "");
  EXPECT_EQ(TextFromWide(u"Chapter \u00E9t\u00E9"), "Chapter \xC3\xA9t\xC3\xA9");
  EXPECT_EQ(TextFromWide(u"before\0after"), "before");
  const char16_t unpaired[] = {u'a', 0xD800, u'b', 0xDC85, 0};
  EXPECT_EQ(TextFromWide(unpaired), "a?b?");
  EXPECT_EQ(TextFromWide(u"\U0001F600"), "\xF0\x9F\x98\x80");
}

}  // namespace
}  // namespace platform
}  // namespace vellox

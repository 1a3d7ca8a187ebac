#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/wide_text.h"

// Titles and record texts are in the ANSI code page, which is the
// system's: these tests run once per code page (under Wine, LC_ALL picks
// it) and skip the tables made for another. Paths are UTF-8 whatever the
// code page (wide_path_windows_test.cc).
namespace vellox {
namespace platform {
namespace {

std::u16string Wide(const std::string& bytes) {
  BSTR s = AllocStringFromBytes(bytes);
  std::u16string wide(reinterpret_cast<const char16_t*>(s), SysStringLen(s));
  SysFreeString(s);
  return wide;
}

std::string Narrow(const std::u16string& wide) {
  return BytesFromWide(reinterpret_cast<const OLECHAR*>(wide.data()), wide.size());
}

class CodePageTest : public ::testing::Test {
 protected:
  void SetUp() override { InitializeCodePage(); }
};

#define REQUIRE_CODE_PAGE(codePage) \
  if (GetACP() != (codePage)) GTEST_SKIP() << "for code page " << (codePage)

TEST_F(CodePageTest, TitlesStopAtNulAndAreNeverEmptyForNothing) {
  EXPECT_EQ(TextFromWide(nullptr), "");
  EXPECT_EQ(TextFromWide(u""), "");
  EXPECT_EQ(TextFromWide(u"before\0after"), "before");
  EXPECT_EQ(TextFromWide(u"Chapter 1"), "Chapter 1");
}

TEST_F(CodePageTest, WesternCodePage) {
  REQUIRE_CODE_PAGE(1252);
  // The code page's own characters, not Latin-1 read as UTF-16.
  EXPECT_EQ(Wide("caf\xE9 \x80"), u"caf\u00E9 \u20AC");
  EXPECT_EQ(TextFromWide(u"caf\u00E9 \u20AC"), "caf\xE9 \x80");
  // No form in the code page and no close one: its default character.
  EXPECT_EQ(TextFromWide(u"\u65E5\u672C \u0E01"), "?? ?");
  // A close one is no form either: a look-alike would be a wrong title
  // that looks right. One default character a character, one beyond 16
  // bits (two UTF-16 units) and an unpaired surrogate included.
  struct Case {
    std::u16string wide;
    std::string narrow;
  } cases[] = {
      {u"LaTeX2\u03B5", "LaTeX2?"},
      {u"\u3008name\u3009", "?name?"},
      {u"jal\u0101l\u012B", "jal?l?"},
      {u"\u00AB\u2026\u00BB", "\xAB\x85\xBB"},  // the code page has these
      {u"\U0001F600 \U0001F4D6\U0001F4D6.", "? ??."},
      {u"a\xD83D" u"b\xDE00", "a?b?"},
  };
  for (const Case& c : cases) EXPECT_EQ(TextFromWide(c.wide.c_str()), c.narrow) << c.narrow;
  for (int b = 1; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    EXPECT_EQ(CharacterLength(byte.data(), 1), 1u) << b;
    EXPECT_EQ(Narrow(Wide(byte)), byte) << "byte " << b << " survives the trip";
  }
}

TEST_F(CodePageTest, DoubleByteCodePageStepsByCharacters) {
  REQUIRE_CODE_PAGE(932);
  // U+8868 is 0x95 0x5C: its trail byte is the backslash's.
  const std::string table = "\x95\x5C";
  struct Case {
    std::string s;
    std::size_t length;
  } cases[] = {
      {table, 2},
      {"\x82\xA0", 2},      // a kana
      {"\x95", 1},          // a lead byte at the end
      {std::string("\x95\0", 2), 1},  // a lead byte before a NUL
      {"\\", 1},
      {"\xB1", 1},          // a half-width kana is one byte
  };
  for (const Case& c : cases)
    EXPECT_EQ(CharacterLength(c.s.data(), c.s.size()), c.length) << c.s;

  EXPECT_EQ(FindLastCharacter("C:\\" + table, '\\'), 2u);
  EXPECT_EQ(FindLastCharacter("C:\\" + table + "\\x", '\\'), 5u);
  EXPECT_EQ(CharacterBoundaryAtOrBelow("a" + table + "b", 2), 1u);
  EXPECT_EQ(CharacterBoundaryAtOrBelow("a" + table + "b", 3), 3u);

  EXPECT_EQ(Wide("C:\\" + table + ".pdf"), u"C:\\\u8868.pdf");
  EXPECT_EQ(TextFromWide(u"\u65E5\u672C"), "\x93\xFA\x96\x7B");
  EXPECT_EQ(TextFromWide(u"\u0E01"), "?");
  // No best fit ("\x81\xE1" for the guillemet), one '?' for a character
  // beyond 16 bits.
  EXPECT_EQ(TextFromWide(u"\u00AB\u65E5\u00BB"), "?\x93\xFA?");
  EXPECT_EQ(TextFromWide(u"LaTeX2\u03B5 \U0001F600"), "LaTeX2\x83\xC3 ?");
  const std::string text = table + "\\\x93\xFA\x96\x7B";
  EXPECT_EQ(Narrow(Wide(text)), text);
}

}  // namespace
}  // namespace platform
}  // namespace vellox

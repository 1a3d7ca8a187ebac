#include "pdf/pdf_text.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "test_util.h"

namespace vellox {
namespace pdf {
namespace {

using testing::Bytes;

struct TextCase {
  const char* name;
  std::string bytes;
  std::u16string expected;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class DecodePdfTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(DecodePdfTextTest, Decodes) {
  EXPECT_EQ(DecodePdfText(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, DecodePdfTextTest,
    ::testing::Values(
        TextCase{"Empty", "", u""},
        TextCase{"PdfDocAscii", "Chapter 1", u"Chapter 1"},
        // Where PDFDocEncoding is not Latin-1.
        TextCase{"PdfDocAccents", Bytes({0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F}),
                 u"\u02D8\u02C7\u02C6\u02D9\u02DD\u02DB\u02DA\u02DC"},
        TextCase{"PdfDocPunctuation", Bytes({0x80, 0x84, 0x8D, 0x8E, 0x92, 0x93, 0x9E, 0xA0}),
                 u"\u2022\u2014\u201C\u201D\u2122\uFB01\u017E\u20AC"},
        TextCase{"PdfDocUndefined", Bytes({0x7F, 0x9F, 0xAD}), u"\uFFFD\uFFFD\uFFFD"},
        TextCase{"PdfDocLatin1", Bytes({'C', 'a', 'f', 0xE9, 0xA9, 0xAE, 0xFF}),
                 u"Caf\u00E9\u00A9\u00AE\u00FF"},
        TextCase{"Utf16BigEndian", Bytes({0xFE, 0xFF, 0x00, 'A', 0x20, 0x14, 0xD8, 0x3D, 0xDE, 0x00}),
                 u"A\u2014\U0001F600"},
        TextCase{"Utf16LittleEndian", Bytes({0xFF, 0xFE, 'A', 0x00, 0x14, 0x20}), u"A\u2014"},
        TextCase{"Utf16BomOnly", Bytes({0xFE, 0xFF}), u""},
        TextCase{"Utf16LoneSurrogateAndOddByte",
                 Bytes({0xFE, 0xFF, 0xD8, 0x3D, 0x00, 'x', 0xDC, 0x00, 0x41}),
                 u"\uFFFDx\uFFFD\uFFFD"},
        // A language tag between two escapes is not text.
        TextCase{"Utf16LanguageEscape",
                 Bytes({0xFE, 0xFF, 0x00, 0x1B, 0x00, 'e', 0x00, 'n', 0x00, 0x1B, 0x00, 'H',
                        0x00, 'i'}),
                 u"Hi"},
        TextCase{"Utf16UnclosedLanguageEscape",
                 Bytes({0xFF, 0xFE, 'H', 0x00, 0x1B, 0x00, 'd', 0x00, 'e', 0x00}), u"H"},
        TextCase{"Utf8", Bytes({0xEF, 0xBB, 0xBF, 'C', 'a', 'f', 0xC3, 0xA9, 0xF0, 0x9F, 0x98, 0x80}),
                 u"Caf\u00E9\U0001F600"},
        TextCase{"Utf8Invalid", Bytes({0xEF, 0xBB, 0xBF, 'a', 0xC0, 0xAF, 0xE2, 0x82, 'b', 0xED, 0xA0, 0x80}),
                 u"a\uFFFD\uFFFD\uFFFD\uFFFDb\uFFFD\uFFFD\uFFFD"},
        // Two BOM bytes alone are not enough for UTF-8.
        TextCase{"Utf8PartialBomIsPdfDoc", Bytes({0xEF, 0xBB}), u"\u00EF\u00BB"}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

class DecodeTitleTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(DecodeTitleTest, ShowsWhatAReaderSees) {
  EXPECT_EQ(DecodeTitle(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, DecodeTitleTest,
    ::testing::Values(
        TextCase{"Empty", "", u""},
        TextCase{"Plain", "The feature directive", u"The feature directive"},
        // Apache FOP's layout of a title.
        TextCase{"FopLayout", "\n      The feature directive\n    ", u"The feature directive"},
        TextCase{"InnerRunsBecomeOneSpace", "a \t\r\n\x0B\x0C b  c", u"a b c"},
        TextCase{"FalseIndentation", "   1.2 Scope", u"1.2 Scope"},
        TextCase{"OnlyWhitespaceBecomesEmpty", " \t\r\n ", u""},
        // PDFDocEncoding 0x18-0x1F are accents, not controls: decoded first.
        TextCase{"PdfDocAccentsStay", Bytes({'a', 0x18, 'b'}), u"a\u02D8b"},
        TextCase{"PdfDocDeleteIsReplaced", Bytes({'a', 0x7F, 'b'}), u"a\uFFFDb"},
        TextCase{"Utf16Separators",
                 Bytes({0xFE, 0xFF, 0x20, 0x28, 0x00, 'a', 0x00, 0x85, 0x20, 0x29, 0x00, 'b',
                        0x00, 0x9B, 0x30, 0x00, 0x00, 'c', 0x20, 0x03, 0x00, 0x01}),
                 u"a b c"},
        // Characters meant as they are: no-break spaces, soft hyphen,
        // bidirectional marks, a zero-width space.
        TextCase{"MeaningfulCharactersStay",
                 Bytes({0xFE, 0xFF, 0x00, 'a', 0x00, 0xA0, 0x00, 'b', 0x00, 0xAD, 0x20, 0x0F,
                        0x20, 0x07, 0x20, 0x2F, 0x20, 0x0B, 0x00, 'c'}),
                 u"a\u00A0b\u00AD\u200F\u2007\u202F\u200Bc"},
        // The title ends at its first NUL, before anything else is done:
        // what follows it does not come back as words.
        TextCase{"CutAtNulFirst", std::string("a \0 b", 5), u"a"},
        TextCase{"CutAtNulLeavesNothing", std::string(" \0x", 3), u""},
        TextCase{"Utf16Nul", Bytes({0xFE, 0xFF, 0x00, 'a', 0x00, 0x00, 0x00, 'b'}), u"a"}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pdf
}  // namespace vellox

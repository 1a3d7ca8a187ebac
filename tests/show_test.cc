// --show: the bookmarks of a .pdr, or those a PDF's .pdr would hold.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "pdf_builder.h"
#include "program_test.h"

namespace vellox {
namespace {

using testing::Bytes;
using testing::BuildDocument;
using testing::OutlineNode;
using testing::PdfBuilder;
using testing::ProgramResult;
using testing::ReadFile;
using testing::WriteFile;

// The sample book's bookmarks: by page number, and by printed label (the
// Greek title is "Ellinika" in Greek letters, with an accent).
const char kSampleLines[] =
    "1\t02 Preface\n"
    "3\t04 Chapter 1 \xE2\x80\x94 Beginnings\n"
    "4\t05   1.1 First steps\n"
    "4\t05     1.1.1 Caf\xC3\xA9 notes\n"
    "5\t06   1.2 \xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC\n"
    "6\t07 Chapter 2\n"
    "7\t08   2.1 Notes\n"
    "8\t09 Appendix A \xE2\x80\x94 Tables\n"
    "9\t10 Index\n";
const char kSampleLabelledLines[] =
    "1\tii Preface\n"
    "3\t1 Chapter 1 \xE2\x80\x94 Beginnings\n"
    "4\t2   1.1 First steps\n"
    "4\t2     1.1.1 Caf\xC3\xA9 notes\n"
    "5\t3   1.2 \xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC\n"
    "6\t4 Chapter 2\n"
    "7\t5   2.1 Notes\n"
    "8\tA-1 Appendix A \xE2\x80\x94 Tables\n"
    "9\tA-2 Index\n";

class ShowTest : public testing::ProgramTest {
 protected:
  void SetUp() override { CopySample("book.pdf"); }
};

TEST_F(ShowTest, PdfAndItsBookmarkFileShowTheSameLines) {
  ProgramResult fromPdf = Run({"--show", "book.pdf"});
  EXPECT_EQ(fromPdf.exitCode, 0) << fromPdf.err;
  EXPECT_EQ(fromPdf.out, kSampleLines);
  EXPECT_EQ(scratch.List(), std::vector<std::string>{"book.pdf"});  // nothing written

  ASSERT_EQ(Run({"book.pdf"}).exitCode, 0);
  ProgramResult fromPdr = Run({"--show", "book.pdr"});
  EXPECT_EQ(fromPdr.exitCode, 0) << fromPdr.err;
  EXPECT_EQ(fromPdr.out, kSampleLines);
  EXPECT_EQ(fromPdr.err, "");
}

TEST_F(ShowTest, DepthLimitAppliesToAPdf) {
  ProgramResult r = Run({"--show", "book.pdf", "-ML", "0"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out,
            "1\t02 Preface\n3\t04 Chapter 1 \xE2\x80\x94 Beginnings\n6\t07 Chapter 2\n"
            "8\t09 Appendix A \xE2\x80\x94 Tables\n9\t10 Index\n");
  r = Run({"--show", "book.pdf", "-ML", "1", "-PL"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out,
            "1\tii Preface\n3\t1 Chapter 1 \xE2\x80\x94 Beginnings\n4\t2   1.1 First steps\n"
            "5\t3   1.2 \xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC\n"
            "6\t4 Chapter 2\n7\t5   2.1 Notes\n8\tA-1 Appendix A \xE2\x80\x94 Tables\n"
            "9\tA-2 Index\n");
}

// A bookmark file from another tool may hold any bytes: each line still
// is one bookmark, with what would break it or drive the terminal escaped.
TEST_F(ShowTest, ControlCharactersInABookmarkFileAreEscaped) {
  const std::vector<std::string> texts = {
      "1 two\nlines",
      "2 \x1B[31mred\x1B[0m",
      "3 tab\there\r",
      std::string("4 nul\0end", 9),
      "5 del\x7F",
      "6 next\xC2\x85line",          // U+0085
      "7 csi\xC2\x9B",               // U+009B
      "8 line\xE2\x80\xA8para\xE2\x80\xA9",  // U+2028, U+2029
      "9 Caf\xC3\xA9 \xE2\x80\x94 \xC2\xA0\\x41 \xFF",  // text, a backslash, a stray byte
  };
  std::string file = Bytes({0xDE, 0xAD, 0xCA, 0xBB, 1, 0, 0, 0, 0, 0, 0, 0,
                            static_cast<int>(texts.size())});
  for (std::size_t i = 0; i < texts.size(); ++i)
    file += Bytes({0, 0, 0, 0, static_cast<int>(i), 0, static_cast<int>(texts[i].size())}) +
            texts[i];
  WriteFile(scratch.Path("other.pdr"), file);

  ProgramResult r = Run({"--show", "other.pdr"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "0\t1 two\\x0Alines\n"
            "1\t2 \\x1B[31mred\\x1B[0m\n"
            "2\t3 tab\\x09here\\x0D\n"
            "3\t4 nul\\x00end\n"
            "4\t5 del\\x7F\n"
            "5\t6 next\\xC2\\x85line\n"
            "6\t7 csi\\xC2\\x9B\n"
            "7\t8 line\\xE2\\x80\\xA8para\\xE2\\x80\\xA9\n"
            "8\t9 Caf\xC3\xA9 \xE2\x80\x94 \xC2\xA0\\x41 \xFF\n");
}

// Layout in titles, as Apache FOP and others write it, is gone from the
// bookmarks: one line each, no false indentation.
TEST_F(ShowTest, TitlesWithLayoutShowOneLineEach) {
  WriteFile(scratch.Path("fop.pdf"),
            BuildDocument(3, {{"\n      The feature directive\n    ", "/Dest [0 /Fit]",
                               {{"  \tIndented by spaces\r\n", "/Dest [1 /Fit]", {}}}},
                              {Bytes({0xFE, 0xFF, 0x20, 0x28, 0x00, 'A', 0x00, 0x85, 0x00, 'B',
                                      0x00, 0x0B, 0x00, 0x0C, 0x00, 'C', 0x20, 0x29}),
                               "/Dest [2 /Fit]", {}},
                              {std::string("Cut\0 here", 9), "/Dest [2 /Fit]", {}}}));
  const char expected[] =
      "0\t1 The feature directive\n"
      "1\t2   Indented by spaces\n"
      "2\t3 A B C\n"
      "2\t3 Cut\n";
  ProgramResult r = Run({"--show", "fop.pdf"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, expected);
  // The bookmark file holds the same.
  ASSERT_EQ(Run({"fop.pdf"}).exitCode, 0);
  EXPECT_EQ(Run({"--show", "fop.pdr"}).out, expected);
}

// Front matter in roman numerals, chapters from 10, an appendix A-1, and a
// bookmark that leads nowhere; or the same book without page labels.
std::string LabelledBook(bool labelled = true) {
  PdfBuilder builder;
  builder.AddPages(12);
  builder.AddOutline({{"Preface", "/Dest [1 /Fit]", {}},
                      {"Chapter", "/Dest [3 /Fit]", {{"Section", "/Dest [5 /Fit]", {}}}},
                      {"Appendix", "/Dest [6 /Fit]", {}},
                      {"Back", "", {}}});
  builder.AddCatalog(labelled ? "/PageLabels << /Nums [0 << /S /r >> 3 << /S /D /St 10 >>"
                                " 6 << /S /D /P (A-) >>] >>"
                              : "");
  return builder.Build();
}

TEST_F(ShowTest, PageNumbersUnlessPrintedLabelsAreAsked) {
  WriteFile(scratch.Path("labelled.pdf"), LabelledBook());
  ProgramResult r = Run({"--show", "labelled.pdf"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "1\t2 Preface\n3\t4 Chapter\n5\t6   Section\n6\t7 Appendix\n0\t1 Back\n");

  // A document without labels: -PL changes nothing, in any mode.
  WriteFile(scratch.Path("plain.pdf"), LabelledBook(false));
  const std::string plainLines = r.out;
  ProgramResult shown = Run({"--show", "plain.pdf", "-PL"});
  EXPECT_EQ(shown.exitCode, 0) << shown.err;
  EXPECT_EQ(shown.out, plainLines);
  ASSERT_EQ(Run({"plain.pdf", "-ML", "1", "-PL"}).exitCode, 0);
  EXPECT_EQ(Run({"--show", "plain.pdr"}).out, plainLines);
  mkdir(scratch.Path("shelf").c_str(), 0755);
  WriteFile(scratch.Path("shelf/copy.pdf"), LabelledBook(false));
  ASSERT_EQ(Run({"shelf", "-PL", "-j", "1"}).exitCode, 0);
  EXPECT_EQ(ReadFile(scratch.Path("shelf/copy.pdr")), ReadFile(scratch.Path("plain.pdr")));

  ProgramResult misplaced = Run({"-PL", "labelled.pdf"});
  EXPECT_EQ(misplaced.exitCode, 2);
  EXPECT_EQ(misplaced.err.rfind("vellox: -PL takes no value\nUsage: vellox", 0), 0u)
      << misplaced.err;
  EXPECT_FALSE(testing::FileExists(scratch.Path("labelled.pdr")));
}

// Needs the reader to fill in OutlineTree::Node::label from ReadPageLabels.
TEST_F(ShowTest, PrintedLabelsFromTheDocument) {
  WriteFile(scratch.Path("labelled.pdf"), LabelledBook());
  const char expected[] =
      "1\tii Preface\n3\t10 Chapter\n5\t12   Section\n6\tA-1 Appendix\n0\t01 Back\n";
  ProgramResult r = Run({"--show", "labelled.pdf", "-PL"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, expected);
  ASSERT_EQ(Run({"labelled.pdf", "-PL"}).exitCode, 0);
  EXPECT_EQ(Run({"--show", "labelled.pdr"}).out, expected);

  r = Run({"--show", "book.pdf", "-PL"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, kSampleLabelledLines);
  ASSERT_EQ(Run({"book.pdf", "-PL"}).exitCode, 0);
  EXPECT_EQ(Run({"--show", "book.pdr"}).out, kSampleLabelledLines);
}

TEST_F(ShowTest, MalformedAndMissingFilesAreErrors) {
  WriteFile(scratch.Path("bad.pdr"), "not a bookmark file at all");
  WriteFile(scratch.Path("short.PDR"), std::string("\xDE\xAD\xCA\xBB\x01\0\0\0\0\0\0\0\x02", 13));
  struct Case {
    const char* name;
    std::string error;
  } cases[] = {
      {"bad.pdr", "'@/bad.pdr' is not a bookmark file: wrong magic number at byte 0"},
      {"short.PDR", "'@/short.PDR' is not a bookmark file: more records announced than the file "
                    "holds at byte 9"},
      {"gone.pdr", "cannot read '@/gone.pdr': No such file or directory"},
      {"gone.pdf", "cannot read '@/gone.pdf': No such file or directory"},
  };
  for (const Case& c : cases) {
    std::string expected = "vellox: " + c.error + "\n";
    expected.replace(expected.find('@'), 1, scratch.path());
    ProgramResult r = Run({"--show", c.name});
    EXPECT_EQ(r.exitCode, 1) << c.name;
    EXPECT_EQ(r.out, "") << c.name;
    EXPECT_EQ(r.err, expected);
  }
  EXPECT_EQ(Run({"--show"}).exitCode, 2);
}

}  // namespace
}  // namespace vellox

// --show: the bookmarks of a .pdr, or those a PDF's .pdr would hold.

#include <gtest/gtest.h>

#include <string>

#include "run_program.h"
#include "test_util.h"

namespace vellox {
namespace {

using testing::ProgramOptions;
using testing::ProgramResult;
using testing::ReadFile;
using testing::RunProgram;
using testing::ScratchDirectory;
using testing::WriteFile;

const char kSampleLines[] =
    "0\t1 Preface\n"
    "1\t2 Chapter 1 \xE2\x80\x94 Beginnings\n"
    "2\t3   1.1 First steps\n"
    "3\t4   1.2 Caf\xC3\xA9 notes\n"
    "4\t5 Index\n";

class ShowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(scratch.Path("book.pdf"),
              ReadFile(std::string(VELLOX_SOURCE_DIR) + "/samples/sample.pdf"));
  }
  ProgramResult Run(const std::vector<std::string>& arguments) {
    ProgramOptions options;
    options.directory = scratch.path();
    return RunProgram(VELLOX_BINARY, arguments, options);
  }
  ScratchDirectory scratch;
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
  EXPECT_EQ(r.out, "0\t1 Preface\n1\t2 Chapter 1 \xE2\x80\x94 Beginnings\n4\t5 Index\n");
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

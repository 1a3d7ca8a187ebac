// vellox.exe run as a user runs it, against the test component (see
// test_component.cc), which the driver script has registered. Each "PDF"
// here is a fixture text that the component serves as the outline.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_util.h"
#include "windows/wine_program.h"

namespace vellox {
namespace {

using testing::kBanner;
using testing::Line;
using testing::Lines;
using testing::Outcome;
using testing::Pdr;
using testing::Program;
using testing::ReadFile;
using testing::RunProgram;
using testing::ScratchDirectory;
using testing::WriteFile;

class VelloxTest : public ::testing::Test {
 protected:
  // Converts the fixture `outline`, written as `name` in the scratch
  // directory, by its full path.
  Outcome Convert(const std::string& outline, const std::string& name = "book.pdf") {
    WriteFile(scratch.Path(name), outline);
    return RunProgram(Program(), Program(), {scratch.Path(name)}, "", capture);
  }
  bool RequireCodePage(UINT codePage) { return GetACP() == codePage; }

  ScratchDirectory scratch;  // the user's files
  ScratchDirectory capture;  // the program's output streams
};

TEST_F(VelloxTest, ConvertsTheOutlineByteForByte) {
  Outcome run = Convert(
      "# Intro, Chapter 1 > Section 1.1 > Detail, Index, and odd nodes\n"
      "item 0 0 Intro\n"
      "item 0 2 Chapter 1\n"
      "item 1 3 Section 1.1\n"
      "item 2 4 Detail\n"
      "item 0 9 Index\n"
      "item 0 - No page stored\n"
      "item 0 1 cut\\0here\n"
      "item 0 5 \n");
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out.substr(0, kBanner.size()), kBanner);
  EXPECT_EQ(ReadFile(scratch.Path("book.pdr")),
            Pdr({{0, "01 Intro"},
                 {2, "03 Chapter 1"},
                 {3, "04   Section 1.1"},
                 {4, "05     Detail"},
                 {9, "10 Index"},
                 {0, "01 No page stored"},
                 {1, "02 cut"},
                 {5, "06 "}}));
  EXPECT_EQ(scratch.List(), (std::vector<std::string>{"book.pdf", "book.pdr"}));
}

TEST_F(VelloxTest, DepthLimitAndAnEmptyOutline) {
  WriteFile(scratch.Path("book.pdf"), "item 0 0 A\nitem 1 1 B\nitem 2 2 C\n");
  Outcome run = RunProgram(Program(), Program(), {scratch.Path("book.pdf"), "-ML", "1"}, "", capture);
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(ReadFile(scratch.Path("book.pdr")), Pdr({{0, "1 A"}, {1, "2   B"}}));

  run = Convert("# nothing\n", "empty.pdf");
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(run.err, Line("vellox: '" + scratch.Path("empty.pdf") +
                          "' has no outline; the bookmark file is empty"));
  EXPECT_EQ(ReadFile(scratch.Path("empty.pdr")), Pdr({}));
}

// What the walker asks of the component, in order, and what it gives back.
TEST_F(VelloxTest, CallOrderEventsAndReferences) {
  const std::vector<std::string> opened = {
      "Event SyncOpenFile signalled",
      "Event SyncGetPage signalled",
      "Event SyncOtherState signalled",
      "QueryInterface IPdfOutline through IPdfDocument -> S_OK",
      "Release IPdfDocument -> 1",
      "MoveToRoot",
  };
  struct Case {
    const char* name;
    std::string outline;
    std::vector<std::string> calls;  // after `opened`
  } cases[] = {
      {"root without children", "log\n", {"IsLeaf (root) -> 1", "Release IPdfOutline -> 0", "Destroy"}},
      {"one child",
       "log\nitem 0 4 A\n",
       {"IsLeaf (root) -> 0", "MoveToFirstChild -> A", "GetCurrentItem -> A", "GetTitle A",
        "GetPage A", "IsLeaf A -> 1", "MoveToNextSibling (last, stays)", "GetCurrentItem -> A",
        "Release A -> 1", "Release A -> 0", "MoveToParent -> (root)",
        "Release IPdfOutline -> 0", "Destroy"}},
      {"nested, no item after the last sibling",
       "log\nno-item-after-last\nitem 0 0 A\nitem 1 1 B\nitem 0 2 C\n",
       {"IsLeaf (root) -> 0", "MoveToFirstChild -> A", "GetCurrentItem -> A", "GetTitle A",
        "GetPage A", "IsLeaf A -> 0", "MoveToFirstChild -> B", "GetCurrentItem -> B",
        "GetTitle B", "GetPage B", "IsLeaf B -> 1", "MoveToNextSibling (last, now on no item)",
        "GetCurrentItem -> none", "Release B -> 0", "MoveToParent -> A",
        "MoveToNextSibling -> C", "GetCurrentItem -> C", "GetTitle C", "GetPage C",
        "IsLeaf C -> 1", "Release A -> 0", "MoveToNextSibling (last, now on no item)",
        "GetCurrentItem -> none", "Release C -> 0", "MoveToParent -> (root)",
        "Release IPdfOutline -> 0", "Destroy"}},
  };
  for (const Case& c : cases) {
    Outcome run = Convert(c.outline);
    EXPECT_EQ(run.exitCode, 0u) << c.name << ": " << run.err;
    std::vector<std::string> expected = {"Open " + scratch.Path("book.pdf")};
    expected.insert(expected.end(), opened.begin(), opened.end());
    expected.insert(expected.end(), c.calls.begin(), c.calls.end());
    EXPECT_EQ(Lines(ReadFile(scratch.Path("book.pdf.calls"))), expected) << c.name;
  }
}

TEST_F(VelloxTest, WarningWhenTheFileIsReadWithProblems) {
  Outcome run = Convert("open 00040001 the cross-reference table is damaged\nitem 0 0 A\n");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(run.err, Line("vellox: warning: '" + scratch.Path("book.pdf") +
                          "': the cross-reference table is damaged"));
  EXPECT_EQ(ReadFile(scratch.Path("book.pdr")), Pdr({{0, "1 A"}}));
}

// Every failure: one line on standard error, exit status 1, and the
// bookmark file that was there before left as it was.
TEST_F(VelloxTest, FailuresLeaveTheBookmarkFileAlone) {
  struct Case {
    const char* name;
    const char* outline;  // null: no input file at all
    std::string reason;
  } cases[] = {
      {"open fails with a description", "open 80004005 not a PDF file\nitem 0 0 A\n",
       "not a PDF file"},
      {"open fails with the component's own code", "open 80040999\nitem 0 0 A\n",
       "the PDF document component failed (0x80040999)"},
      {"the outline is refused", "refuse-outline\nitem 0 0 A\n",
       "the PDF document component offers no outline"},
      {"the input file is missing", nullptr, ""},
  };
  for (const Case& c : cases) {
    const std::string pdf = scratch.Path("book.pdf");
    DeleteFileA(pdf.c_str());
    if (c.outline != nullptr) WriteFile(pdf, c.outline);
    WriteFile(scratch.Path("book.pdr"), "the old bookmarks");
    const std::vector<std::string> before = scratch.List();
    Outcome run = RunProgram(Program(), Program(), {pdf}, "", capture);
    EXPECT_EQ(run.exitCode, 1u) << c.name;
    EXPECT_EQ(run.out, "") << c.name;
    const std::string prefix = "vellox: cannot read '" + pdf + "': ";
    EXPECT_EQ(run.err.substr(0, prefix.size()), prefix) << c.name << ": " << run.err;
    if (!c.reason.empty()) {
      EXPECT_EQ(run.err, Line(prefix + c.reason)) << c.name;
    }
    EXPECT_EQ(run.err.find("\r\n"), run.err.size() - 2) << c.name << ": one line";
    EXPECT_EQ(ReadFile(scratch.Path("book.pdr")), "the old bookmarks") << c.name;
    EXPECT_EQ(scratch.List(), before) << c.name;
  }
}

TEST_F(VelloxTest, ReplacesAnExistingBookmarkFileWhole) {
  WriteFile(scratch.Path("book.pdr"), std::string(5000, 'x'));
  Outcome run = Convert("item 0 0 A\n");
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(ReadFile(scratch.Path("book.pdr")), Pdr({{0, "1 A"}}));
  EXPECT_EQ(scratch.List(), (std::vector<std::string>{"book.pdf", "book.pdr"}));
}

TEST_F(VelloxTest, RelativePathsResolveAgainstTheProgramsDirectory) {
  const std::string bin = scratch.Path("bin");
  ASSERT_TRUE(CreateDirectoryA(bin.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA(scratch.Path("work").c_str(), nullptr));
  const std::string copy = bin + "\\vellox.exe";
  ASSERT_TRUE(CopyFileA(Program().c_str(), copy.c_str(), TRUE));
  WriteFile(bin + "\\beside.pdf", "item 0 0 Beside the program\n");
  WriteFile(scratch.Path("work\\here.pdf"), "item 0 0 In the current directory\n");
  struct Case {
    std::string argument0;
    std::string argument;
    std::string output;
  } cases[] = {
      {copy, "beside.pdf", bin + "\\beside.pdr"},
      {copy, "..\\work\\here.pdf", scratch.Path("work\\here.pdr")},
      {"vellox.exe", "here.pdf", scratch.Path("work\\here.pdr")},  // no directory given
  };
  for (const Case& c : cases) {
    DeleteFileA(c.output.c_str());
    Outcome run = RunProgram(copy, c.argument0, {c.argument}, scratch.Path("work"), capture);
    EXPECT_EQ(run.exitCode, 0u) << c.argument0 << " " << c.argument << ": " << run.err;
    EXPECT_TRUE(testing::FileExists(c.output)) << c.output;
  }
}

// Workers each need the component library for their own thread.
TEST_F(VelloxTest, ConvertsAFolderWithSeveralWorkers) {
  ASSERT_TRUE(CreateDirectoryA(scratch.Path("sub").c_str(), nullptr));
  WriteFile(scratch.Path("a.pdf"), "item 0 0 A\n");
  WriteFile(scratch.Path("sub\\b.PDF"), "item 0 1 B\n");
  WriteFile(scratch.Path("c.pdf"), "open 80004005 broken\n");
  WriteFile(scratch.Path("d.pdf"), "item 0 3 D\n");
  WriteFile(scratch.Path("notes.txt"), "item 0 0 not a PDF\n");
  Outcome run = RunProgram(Program(), Program(), {scratch.path(), "-j", "2"}, "", capture);
  EXPECT_EQ(run.exitCode, 1u);  // one PDF failed
  EXPECT_NE(run.err.find(Line("vellox: cannot read '" + scratch.Path("c.pdf") + "': broken")),
            std::string::npos)
      << run.err;
  EXPECT_EQ(ReadFile(scratch.Path("a.pdr")), Pdr({{0, "1 A"}}));
  EXPECT_EQ(ReadFile(scratch.Path("sub\\b.pdr")), Pdr({{1, "2 B"}}));
  EXPECT_EQ(ReadFile(scratch.Path("d.pdr")), Pdr({{3, "4 D"}}));
  EXPECT_FALSE(testing::FileExists(scratch.Path("c.pdr")));
  EXPECT_FALSE(testing::FileExists(scratch.Path("notes.pdr")));
}

TEST_F(VelloxTest, PathsBeyondTheLimitAreRefused) {
  const std::string argument = "C:\\" + std::string(270, 'x') + ".pdf";
  Outcome run = RunProgram(Program(), Program(), {argument}, "", capture);
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_EQ(run.err, Line("vellox: cannot read '" + argument + "': the path is too long"));
}

// Without a registered component the built-in reader takes the file, and
// this "PDF", a fixture text, is none; asked for the component alone, the
// program says that there is none. Either way nothing is written.
TEST_F(VelloxTest, WithoutTheComponentTheBuiltInReaderTakesOver) {
  testing::ComponentUnregistered unregistered;
  ASSERT_TRUE(unregistered.ok()) << "the test component is not registered";
  struct Case {
    const char* reader;  // VELLOX_READER
    std::string reason;  // empty: the built-in reader's, not checked here
  } cases[] = {
      {"component", "the PDF document component is not available"},
      {"auto", ""},
  };
  for (const Case& c : cases) {
    testing::ScopedEnvironment reader("VELLOX_READER", c.reader);
    WriteFile(scratch.Path("book.pdr"), "the old bookmarks");
    Outcome run = Convert("item 0 0 A\n");
    EXPECT_EQ(run.exitCode, 1u) << c.reader;
    const std::string prefix = "vellox: cannot read '" + scratch.Path("book.pdf") + "': ";
    if (!c.reason.empty()) {
      EXPECT_EQ(run.err, Line(prefix + c.reason)) << c.reader;
    } else {
      EXPECT_EQ(run.err.substr(0, prefix.size()), prefix) << run.err;
      EXPECT_EQ(run.err.find("component"), std::string::npos) << run.err;
      EXPECT_EQ(run.err.find("\r\n"), run.err.size() - 2) << run.err << ": one line";
    }
    EXPECT_EQ(ReadFile(scratch.Path("book.pdr")), "the old bookmarks") << c.reader;
  }
}

TEST_F(VelloxTest, TitlesInAWesternCodePage) {
  if (!RequireCodePage(1252)) GTEST_SKIP() << "for code page 1252";
  // UTF-8 in the fixture; the file gets code page 1252, '?' where it has
  // no character.
  Outcome run = Convert("item 0 0 caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC\n", "caf\xE9.pdf");
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(ReadFile(scratch.Path("caf\xE9.pdr")), Pdr({{0, "1 caf\xE9 ??"}}));
}

TEST_F(VelloxTest, TitlesAndPathsInADoubleByteCodePage) {
  if (!RequireCodePage(932)) GTEST_SKIP() << "for code page 932";
  // U+8868 is 0x95 0x5C in code page 932: the trail byte is a backslash's.
  const std::string table = "\x95\x5C";
  const std::string directory = scratch.Path(table);
  ASSERT_TRUE(CreateDirectoryA(directory.c_str(), nullptr));
  const std::string program = directory + "\\" + table + ".exe";
  ASSERT_TRUE(CopyFileA(Program().c_str(), program.c_str(), TRUE));
  WriteFile(directory + "\\" + table + ".pdf",
            "item 0 0 \xE6\x97\xA5\xE6\x9C\xAC \xE0\xB8\x81\n");  // Japanese, Thai
  Outcome run = RunProgram(program, program, {table + ".pdf"}, scratch.path(), capture);
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(ReadFile(directory + "\\" + table + ".pdr"), Pdr({{0, "1 \x93\xFA\x96\x7B ?"}}));
}

}  // namespace
}  // namespace vellox

// vellox.exe run as a user runs it, against the test component (see
// test_component.cc), which the driver script has registered. Each "PDF"
// here is a fixture text that the component serves as the outline.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
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
using testing::Record;
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

// PowerShell, shortcuts and "start" pass the program's full path as
// argument 0 whatever was typed, with the user's folder as the current
// directory: a relative name is taken from where it is, the program's
// folder first (scripts rely on it), and the message says where it looked.
TEST_F(VelloxTest, ThePowerShellForm) {
  const std::string bin = scratch.Path("bin"), work = scratch.Path("work");
  ASSERT_TRUE(CreateDirectoryA(bin.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA(work.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((work + "\\sub").c_str(), nullptr));
  const std::string copy = bin + "\\vellox.exe";
  ASSERT_TRUE(CopyFileA(Program().c_str(), copy.c_str(), TRUE));
  WriteFile(work + "\\here.pdf", "item 0 0 In the current directory\n");
  WriteFile(work + "\\sub\\a.pdf", "item 0 1 In a folder of the current directory\n");
  WriteFile(bin + "\\both.pdf", "item 0 2 Beside the program\n");
  WriteFile(work + "\\both.pdf", "item 0 3 Shadowed\n");
  const std::string bothWarning =
      Line("vellox: warning: 'both.pdf' is taken from the program's folder ('" + bin +
           "\\both.pdf'), not from the current directory ('" + work +
           "\\both.pdf'): for that one, give its full path (in PowerShell: \"$PWD\\both.pdf\")");
  const auto neither = [&](const std::string& name) {
    return Line("vellox: cannot read '" + name + "': it is in neither the program's folder ('" +
                bin + "\\" + name + "') nor the current directory ('" + work + "\\" + name +
                "')");
  };
  struct Case {
    std::vector<std::string> arguments;
    DWORD exitCode;
    std::string err;
    std::string output;  // a bookmark file that must be written
    std::vector<Record> records;
  } cases[] = {
      {{"here.pdf"}, 0, "", work + "\\here.pdr", {{0, "1 In the current directory"}}},
      {{"sub", "-j", "1"}, 0, Line("vellox: 1 PDF: 1 converted, 0 without outline, 0 failed"),
       work + "\\sub\\a.pdr", {{1, "2 In a folder of the current directory"}}},
      {{"both.pdf"}, 0, bothWarning, bin + "\\both.pdr", {{2, "3 Beside the program"}}},
      {{"gone.pdf"}, 1, neither("gone.pdf"), "", {}},
      {{"--show", "gone.pdr"}, 1, neither("gone.pdr"), "", {}},
  };
  for (const Case& c : cases) {
    if (!c.output.empty()) DeleteFileA(c.output.c_str());
    Outcome run = RunProgram(copy, copy, c.arguments, work, capture);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments[0] << ": " << run.err;
    EXPECT_EQ(run.err, c.err) << c.arguments[0];
    if (!c.output.empty()) {
      EXPECT_EQ(ReadFile(c.output), Pdr(c.records)) << c.arguments[0];
    }
  }
  EXPECT_FALSE(testing::FileExists(work + "\\both.pdr"));

  // "." is the program's folder, which the warning says, and how to reach
  // the current directory instead.
  Outcome run = RunProgram(copy, copy, {"."}, work, capture);
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(run.err.find(Line("vellox: warning: '.' is taken from the program's folder ('" +
                              bin + "'), not from the current directory ('" + work +
                              "'): for that one, give its full path (in PowerShell: \"$PWD\")")),
            0u)
      << run.err;
  run = RunProgram(copy, copy, {work}, work, capture);
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(run.err, Line("vellox: 3 PDFs: 3 converted, 0 without outline, 0 failed"));
  EXPECT_EQ(ReadFile(work + "\\both.pdr"), Pdr({{3, "4 Shadowed"}}));

  // Started by a relative path, the places are named in full.
  run = RunProgram(copy, "..\\bin\\vellox.exe", {"gone.pdf", "-ML", "1"}, work, capture);
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_EQ(run.err, neither("gone.pdf"));
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

// Paths as the system resolves them: '/' separates as '\' does (also in
// messages, which show the path with backslashes), a device path keeps its
// prefix, and "\\?\" is passed on as it is.
TEST_F(VelloxTest, PathFormsAsTheSystemResolvesThem) {
  const std::string names = scratch.Path("Names");
  ASSERT_TRUE(CreateDirectoryA(names.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((names + "\\Sub").c_str(), nullptr));
  WriteFile(names + "\\B.pdf", "item 0 0 B\n");
  const std::string pdr = names + "\\B.pdr";
  for (const std::string& path :
       {names + "\\Sub/..\\..\\Names\\B.pdf", scratch.path() + "/Names/B.pdf",
        "\\\\.\\" + names + "\\B.pdf", "\\\\?\\" + names + "\\B.pdf"}) {
    DeleteFileA(pdr.c_str());
    Outcome run = RunProgram(Program(), Program(), {path}, "", capture);
    EXPECT_EQ(run.exitCode, 0u) << path << ": " << run.err;
    EXPECT_EQ(ReadFile(pdr), Pdr({{0, "1 B"}})) << path;
  }
  const std::string missing = testing::SystemText(ERROR_FILE_NOT_FOUND);
  struct Case {
    std::string argument;
    std::string shown;
  } cases[] = {
      {names + "\\Sub/nosuch.pdf", names + "\\Sub\\nosuch.pdf"},
      {"\\\\.\\" + names + "\\Sub\\..\\nosuch.pdf", "\\\\.\\" + names + "\\nosuch.pdf"},
  };
  for (const Case& c : cases) {
    Outcome run = RunProgram(Program(), Program(), {c.argument}, "", capture);
    EXPECT_EQ(run.exitCode, 1u) << c.argument;
    EXPECT_EQ(run.err, Line("vellox: cannot read '" + c.shown + "': " + missing)) << c.argument;
  }
}

// Paths past 260 characters, in single-file and folder mode, with and
// without "\\?\", and temporary names past 260 beside a bookmark file that
// fits: the system takes them all (the program gives them in its "\\?\"
// form). The built-in reader reads them.
TEST_F(VelloxTest, LongPaths) {
  testing::ScopedEnvironment reader("VELLOX_READER", "builtin");
  const std::string sample = ReadFile(testing::WindowsPath(VELLOX_SAMPLE));
  WriteFile(scratch.Path("short.pdf"), sample);
  ASSERT_EQ(RunProgram(Program(), Program(), {scratch.Path("short.pdf")}, "", capture).exitCode,
            0u);
  const std::string expected = ReadFile(scratch.Path("short.pdr"));
  ASSERT_FALSE(expected.empty());

  // Folders that make one PDF's path 312 characters long, and another's
  // bookmark file 255 characters, its temporary file 268.
  const std::string deep = scratch.Path(std::string(80, 'd'));
  ASSERT_LT(deep.size(), 180u) << "the scratch folder's path is too long for this test";
  const std::string deeper = deep + "\\" + std::string(312 - deep.size() - 1 - 1 - 124, 'e');
  const std::string longPdf = deeper + "\\" + std::string(120, 'b') + ".pdf";
  const std::string nearPdf = deep + "\\" + std::string(255 - deep.size() - 1 - 4, 'n') + ".pdf";
  ASSERT_EQ(longPdf.size(), 312u);
  ASSERT_EQ(nearPdf.size(), 255u);
  for (const std::string& folder : {deep, deeper})
    ASSERT_TRUE(CreateDirectoryW(testing::Wide("\\\\?\\" + folder).c_str(), nullptr)) << folder;
  testing::WriteFileAt("\\\\?\\" + longPdf, sample);
  testing::WriteFileAt("\\\\?\\" + nearPdf, sample);
  const auto pdrOf = [](const std::string& pdf) {
    return "\\\\?\\" + pdf.substr(0, pdf.size() - 4) + ".pdr";
  };

  for (const std::string& argument : {longPdf, "\\\\?\\" + longPdf, nearPdf}) {
    const std::string pdf = argument.compare(0, 4, "\\\\?\\") == 0 ? argument.substr(4) : argument;
    DeleteFileW(testing::Wide(pdrOf(pdf)).c_str());
    Outcome run = RunProgram(Program(), Program(), {argument}, "", capture);
    EXPECT_EQ(run.exitCode, 0u) << argument.size() << ": " << run.err;
    EXPECT_EQ(testing::ReadFileAt(pdrOf(pdf)), expected) << argument.size();
    Outcome shown = RunProgram(Program(), Program(), {"--show", argument}, "", capture);
    EXPECT_EQ(shown.exitCode, 0u) << argument.size() << ": " << shown.err;
    EXPECT_FALSE(shown.out.empty()) << argument.size();
  }
  for (const std::string& pdf : {longPdf, nearPdf}) DeleteFileW(testing::Wide(pdrOf(pdf)).c_str());
  Outcome run = RunProgram(Program(), Program(), {deep, "-j", "2"}, "", capture);
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(run.err, Line("vellox: 2 PDFs: 2 converted, 0 without outline, 0 failed"));
  for (const std::string& pdf : {longPdf, nearPdf})
    EXPECT_EQ(testing::ReadFileAt(pdrOf(pdf)), expected) << pdf.size();
  // Nothing else: no temporary file left behind.
  EXPECT_EQ(testing::ListFolder("\\\\?\\" + deeper).size(), 2u);
  EXPECT_EQ(testing::ListFolder("\\\\?\\" + deep).size(), 3u);
}

// The manifest that lets the system take long paths (where the machine
// allows them) is the program's, and leaves the code page alone.
TEST_F(VelloxTest, TheProgramDeclaresItselfLongPathAware) {
  HMODULE program = LoadLibraryExW(testing::Wide(Program()).c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(program, nullptr);
  HRSRC resource = FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(resource, nullptr) << "no application manifest";
  const char* text = static_cast<const char*>(LockResource(LoadResource(program, resource)));
  const std::string manifest(text, SizeofResource(program, resource));
  FreeLibrary(program);
  EXPECT_NE(manifest.find("<ws2:longPathAware>true</ws2:longPathAware>"), std::string::npos)
      << manifest;
  EXPECT_EQ(manifest.find("activeCodePage>"), std::string::npos) << manifest;
}

// "/?" asks for the usage, as of any console program; "/h" may name a file
// at the drive's root. A wildcard names no file, and no shell here expands
// it: the message says so.
TEST_F(VelloxTest, SlashQuestionMarkAndWildcards) {
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"/?"}, {"book.pdf", "/?"}}) {
    Outcome run = RunProgram(Program(), Program(), arguments, "", capture);
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.out.rfind("Usage: vellox FILE.pdf", 0), 0u) << run.out;
    EXPECT_EQ(run.err, "");
  }
  Outcome run = RunProgram(Program(), Program(), {"/h"}, scratch.path(), capture);
  EXPECT_EQ(run.exitCode, 1u);
  const std::string ending = "\\h': " + testing::SystemText(ERROR_FILE_NOT_FOUND) + "\r\n";
  EXPECT_EQ(run.err.rfind("vellox: cannot read '", 0), 0u) << run.err;
  EXPECT_EQ(run.err.substr(run.err.size() - std::min(run.err.size(), ending.size())), ending);

  WriteFile(scratch.Path("a.pdf"), "item 0 0 A\n");
  for (const std::string& pattern : {std::string("*.pdf"), scratch.path() + "\\?.pdf"}) {
    run = RunProgram(Program(), Program(), {pattern}, scratch.path(), capture);
    EXPECT_EQ(run.exitCode, 2u) << pattern;
    EXPECT_EQ(run.err, Line("vellox: '" + pattern +
                            "': no file name holds '*' or '?', and the shell does not expand "
                            "them here: give one PDF, or its folder to convert every PDF "
                            "below it"));
  }
  EXPECT_FALSE(testing::FileExists(scratch.Path("a.pdr")));
}

// One file or folder a run; a reader choice that names none is the
// default, with a warning.
TEST_F(VelloxTest, WhatARunIgnoresItSays) {
  WriteFile(scratch.Path("a.pdf"), "item 0 0 A\n");
  WriteFile(scratch.Path("b.pdf"), "item 0 0 B\n");
  Outcome run = RunProgram(Program(), Program(), {"a.pdf", "b.pdf"}, scratch.path(), capture);
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(run.err, Line("vellox: warning: 'b.pdf' ignored: vellox takes one file or folder at "
                          "a time"));
  EXPECT_EQ(ReadFile(scratch.Path("a.pdr")), Pdr({{0, "1 A"}}));
  EXPECT_FALSE(testing::FileExists(scratch.Path("b.pdr")));

  testing::ScopedEnvironment reader("VELLOX_READER", "bogus");
  run = RunProgram(Program(), Program(), {"b.pdf"}, scratch.path(), capture);
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(run.err, Line("vellox: warning: unknown VELLOX_READER 'bogus' ignored; the default, "
                          "auto, is used"));
  EXPECT_EQ(ReadFile(scratch.Path("b.pdr")), Pdr({{0, "1 B"}}));  // the component read it
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
      {"component", "the PDF document component is not available: its class is not registered"},
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

// What keeps the component away, as its registration shows it; none of
// it is said where the built-in reader takes over.
TEST_F(VelloxTest, WhyTheComponentIsNotAvailable) {
  const char* component32 = std::getenv("VELLOX_WINE_COMPONENT32");
  ASSERT_NE(component32, nullptr) << "VELLOX_WINE_COMPONENT32 is not set (run_wine_tests.sh sets it)";
  const std::string dll32 = testing::WindowsPath(component32);
  ASSERT_TRUE(testing::FileExists(dll32)) << dll32;
  WriteFile(scratch.Path("book.pdf"), ReadFile(testing::WindowsPath(VELLOX_SAMPLE)));
  struct Case {
    const char* name;
    std::string server;
    REGSAM view;
    std::string reason;
  } cases[] = {
      {"a registration that leads nowhere", "C:\\nowhere\\component.dll", 0,
       "its DLL 'C:\\nowhere\\component.dll' is missing"},
      {"a 32-bit DLL in the 64-bit registry", dll32, 0,
       "its DLL '" + dll32 + "' is 32-bit, and this vellox is 64-bit"},
      {"registered for 32-bit programs only", dll32, KEY_WOW64_32KEY,
       "it is registered for 32-bit programs only, and this vellox is 64-bit"},
  };
  for (const Case& c : cases) {
    testing::ComponentRegisteredAs registration(c.server, c.view);
    ASSERT_TRUE(registration.ok()) << c.name;
    {
      testing::ScopedEnvironment reader("VELLOX_READER", "component");
      Outcome run = RunProgram(Program(), Program(), {scratch.Path("book.pdf")}, "", capture);
      EXPECT_EQ(run.exitCode, 1u) << c.name;
      EXPECT_EQ(run.err, Line("vellox: cannot read '" + scratch.Path("book.pdf") +
                              "': the PDF document component is not available: " + c.reason))
          << c.name;
    }
    Outcome run = RunProgram(Program(), Program(), {scratch.Path("book.pdf")}, "", capture);
    EXPECT_EQ(run.exitCode, 0u) << c.name << ": " << run.err;
    EXPECT_EQ(run.err, "") << c.name;
  }
}

// One condition, one wording, whichever part meets it.
TEST_F(VelloxTest, AMissingFileReadsTheSameEverywhere) {
  const std::string reason = testing::SystemText(ERROR_FILE_NOT_FOUND);
  struct Case {
    const char* reader;  // VELLOX_READER
    std::vector<std::string> arguments;
    std::string path;
  } cases[] = {
      {"component", {scratch.Path("gone.pdf")}, scratch.Path("gone.pdf")},
      {"builtin", {scratch.Path("gone.pdf")}, scratch.Path("gone.pdf")},
      {"auto", {"--show", scratch.Path("gone.pdr")}, scratch.Path("gone.pdr")},
      {"builtin", {"--show", scratch.Path("gone.pdf")}, scratch.Path("gone.pdf")},
  };
  for (const Case& c : cases) {
    testing::ScopedEnvironment reader("VELLOX_READER", c.reader);
    Outcome run = RunProgram(Program(), Program(), c.arguments, "", capture);
    EXPECT_EQ(run.exitCode, 1u) << c.reader << " " << c.path;
    EXPECT_EQ(run.err, Line("vellox: cannot read '" + c.path + "': " + reason))
        << c.reader << " " << c.path;
  }
}

// "C:\My Books\" reaches the program as C:\My Books": a backslash before
// a quote escapes it, and the options after it go into the same argument.
TEST_F(VelloxTest, AQuoteEscapedByTheFoldersBackslash) {
  WriteFile(scratch.Path("a.pdf"), "item 0 0 A\n");
  const std::string program = "\"" + Program() + "\" ";
  Outcome run = testing::RunCommandLine(
      Program(), program + "\"" + scratch.path() + "\\\" -j 2", "", capture);
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, Line("vellox: '" + scratch.path() +
                          "\" -j 2': a backslash before a closing quote escapes it; write \"" +
                          scratch.path() + "\" or \"" + scratch.path() + "\\\\\""));
  EXPECT_FALSE(testing::FileExists(scratch.Path("a.pdr")));
  // Written either way the message says, the folder is converted.
  for (const std::string& folder : {"\"" + scratch.path() + "\"",
                                    "\"" + scratch.path() + "\\\\\""}) {
    DeleteFileA(scratch.Path("a.pdr").c_str());
    run = testing::RunCommandLine(Program(), program + folder + " -j 2", "", capture);
    EXPECT_EQ(run.exitCode, 0u) << folder << ": " << run.err;
    EXPECT_EQ(ReadFile(scratch.Path("a.pdr")), Pdr({{0, "1 A"}})) << folder;
  }
}

// Each character the code page lacks is one default character, never a
// look-alike: "LaTeX2e" for "LaTeX2" and an epsilon would be a wrong
// title that looks right.
TEST_F(VelloxTest, TitlesInAWesternCodePage) {
  if (!RequireCodePage(1252)) GTEST_SKIP() << "for code page 1252";
  // UTF-8 in the fixture; the file gets code page 1252, '?' where it has
  // no character.
  const std::string pdf = scratch.path() + "\\caf\xC3\xA9.pdf";
  testing::WriteFileAt(pdf,
                       "item 0 0 caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC\n"
                       // U+03B5, U+3008, U+3009; U+0101, U+012B; U+1F600
                       "item 0 1 LaTeX2\xCE\xB5 \xE3\x80\x88name\xE3\x80\x89\n"
                       "item 0 2 jal\xC4\x81l\xC4\xAB \xC2\xAB\xE2\x80\xA6\xC2\xBB\n"
                       "item 0 3 \xF0\x9F\x98\x80 one\n");
  Outcome run = RunProgram(Program(), Program(), {pdf}, "", capture);
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(testing::ReadFileAt(scratch.path() + "\\caf\xC3\xA9.pdr"),
            Pdr({{0, "1 caf\xE9 ??"},
                 {1, "2 LaTeX2? ?name?"},
                 {2, "3 jal?l? \xAB\x85\xBB"},
                 {3, "4 ? one"}}));
}

TEST_F(VelloxTest, TitlesAndPathsInADoubleByteCodePage) {
  if (!RequireCodePage(932)) GTEST_SKIP() << "for code page 932";
  // U+8868 is 0x95 0x5C in code page 932, whose trail byte is a
  // backslash's; the program's name and folder hold it.
  const std::string table = "\xE8\xA1\xA8";
  const std::string directory = scratch.path() + "\\" + table;
  ASSERT_TRUE(CreateDirectoryW(testing::Wide(directory).c_str(), nullptr));
  const std::string program = directory + "\\" + table + ".exe";
  ASSERT_TRUE(CopyFileW(testing::Wide(Program()).c_str(), testing::Wide(program).c_str(), TRUE));
  testing::WriteFileAt(directory + "\\" + table + ".pdf",
                       "item 0 0 \xE6\x97\xA5\xE6\x9C\xAC \xE0\xB8\x81\n"  // Japanese, Thai
                       "item 0 1 \xC2\xABname\xC2\xBB \xF0\x9F\x98\x80\n");  // best fit: "\x81\xE1"
  Outcome run = RunProgram(program, program, {table + ".pdf"}, scratch.path(), capture);
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(testing::ReadFileAt(directory + "\\" + table + ".pdr"),
            Pdr({{0, "1 \x93\xFA\x96\x7B ?"}, {1, "2 ?name? ?"}}));
}

}  // namespace
}  // namespace vellox

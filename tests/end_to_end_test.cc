// Runs the built program the way a user does and checks what it leaves:
// exit code, output lines, and the files in the directory.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/sync_events.h"
#include "pdf_builder.h"
#include "program_test.h"
#include "semaphore_value.h"

namespace vellox {
namespace {

using testing::Bytes;
using testing::ProgramOptions;
using testing::ProgramResult;
using testing::ReadFile;
using testing::RunProgram;
using testing::SampleBook;
using testing::ScratchDirectory;
using testing::WriteFile;

const char kBanner[] =
    "Converter PDF Outlines to Amazon Kindle bookmarks\n"
    "Copyright (C) 2026 the Vellox developers\n";

std::string Record(int page, const std::string& text) {
  std::string r = Bytes({0, 0, 0, 0, page, 0, static_cast<int>(text.size())});
  return r + text;
}

const std::string kEmptyFile = Bytes({0xDE, 0xAD, 0xCA, 0xBB, 1, 0, 0, 0, 0, 0, 0, 0, 0});

// The sample book's bookmarks, as the Kindle receives them, down to
// level `depthLimit` (-1: all). The Greek title is "Ellinika" in Greek
// letters.
std::string SampleBookmarks(int depthLimit = -1) {
  const struct {
    int level;
    int page;
    const char* text;
  } bookmarks[] = {
      {0, 1, "02 Preface"},
      {0, 3, "04 Chapter 1 \xE2\x80\x94 Beginnings"},
      {1, 4, "05   1.1 First steps"},
      {2, 4, "05     1.1.1 Caf\xC3\xA9 notes"},
      {1, 5, "06   1.2 \xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC"},
      {0, 6, "07 Chapter 2"},
      {1, 7, "08   2.1 Notes"},
      {0, 8, "09 Appendix A \xE2\x80\x94 Tables"},
      {0, 9, "10 Index"},
  };
  std::string records;
  int count = 0;
  for (const auto& b : bookmarks) {
    if (depthLimit >= 0 && b.level > depthLimit) continue;
    records += Record(b.page, b.text);
    ++count;
  }
  return Bytes({0xDE, 0xAD, 0xCA, 0xBB, 1, 0, 0, 0, 0, 0, 0, 0, count}) + records;
}
// Once it took "top level only": a call written so would not mean that now.
std::string SampleBookmarks(bool) = delete;

using EndToEndTest = testing::ProgramTest;

TEST_F(EndToEndTest, ConvertsTheSampleBesideThePdf) {
  CopySample("book.pdf");
  ProgramResult r = Run({"book.pdf"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, kBanner);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ReadFile(scratch.Path("book.pdr")), SampleBookmarks());
  EXPECT_EQ(scratch.List(), (std::vector<std::string>{"book.pdf", "book.pdr"}));
}

TEST_F(EndToEndTest, DepthLimitAndPathForms) {
  mkdir(scratch.Path("sub").c_str(), 0755);
  CopySample("sub/a.b.pdf");
  struct Case {
    std::vector<std::string> arguments;
    std::string output;
    int depthLimit;
  } cases[] = {
      {{"sub/a.b.pdf", "-ML", "0"}, "sub/a.b.pdr", 0},
      {{"sub/a.b.pdf", "-ML", "1"}, "sub/a.b.pdr", 1},
      {{"sub/../sub/a.b.pdf", "-ML", "2", "-ML", "0"}, "sub/a.b.pdr", 2},
      {{scratch.Path("sub/a.b.pdf"), "-ML", "-1"}, "sub/a.b.pdr", -1},
      {{"./sub/a.b.pdf", "-ML", "zero"}, "sub/a.b.pdr", 0},
      {{"sub/a.b.pdf", "-ML5"}, "sub/a.b.pdr", -1},
  };
  for (const Case& c : cases) {
    ProgramResult r = Run(c.arguments);
    EXPECT_EQ(r.exitCode, 0) << c.arguments[0] << ": " << r.err;
    EXPECT_EQ(ReadFile(scratch.Path(c.output)), SampleBookmarks(c.depthLimit))
        << c.arguments[0];
  }
}

TEST_F(EndToEndTest, UsageErrorsWriteNothing) {
  CopySample("book.pdf");
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{}, {"-ML", "2", "book.pdf"}, {""}}) {
    ProgramResult r = Run(arguments);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("vellox: no PDF file given\nUsage: vellox", 0), 0u) << r.err;
  }
  EXPECT_EQ(scratch.List(), std::vector<std::string>{"book.pdf"});
}

TEST_F(EndToEndTest, HelpAndVersionGoToStandardOutput) {
  for (const char* option : {"-h", "--help"}) {
    ProgramResult r = Run({option});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.rfind("Usage: vellox FILE.pdf [-ML DEPTH] [-PL]\n", 0), 0u);
    EXPECT_NE(r.out.find("Exit status"), std::string::npos);
    EXPECT_EQ(r.err, "");
  }
  ProgramResult r = Run({"--version"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "vellox 1.0.0\n");
}

TEST_F(EndToEndTest, UnknownOptionsAreWarnedAboutAndIgnoredWithTheirValues) {
  CopySample("book.pdf");
  struct Case {
    std::vector<std::string> arguments;
    std::string err;
  } cases[] = {
      // -ml is not -ML: all levels are kept, and "0" is no second file.
      {{"book.pdf", "-ml", "0"}, "vellox: warning: unknown option '-ml' ignored\n"},
      {{"book.pdf", "--hlep", "-x", "1", "-x"},
       "vellox: warning: unknown option '--hlep' ignored\n"
       "vellox: warning: unknown option '-x' ignored\n"},
      {{"book.pdf", "-ML", "-1", "-j", "2"}, ""},
  };
  for (const Case& c : cases) {
    ProgramResult r = Run(c.arguments);
    EXPECT_EQ(r.exitCode, 0) << c.arguments[1];
    EXPECT_EQ(r.out, kBanner) << c.arguments[1];
    EXPECT_EQ(r.err, c.err) << c.arguments[1];
    EXPECT_EQ(ReadFile(scratch.Path("book.pdr")), SampleBookmarks()) << c.arguments[1];
  }
}

// One file or folder a run: the names after it (a shell's "*.pdf") are
// left alone with one warning, and so is a reader choice that names none.
TEST_F(EndToEndTest, WhatARunIgnoresItSaysInOneLine) {
  CopySample("book.pdf");
  CopySample("other.pdf");
  ProgramOptions bogusReader;
  bogusReader.environment = {"VELLOX_READER=bogus"};
  const std::string oneAtATime = " ignored: vellox takes one file or folder at a time\n";
  struct Case {
    std::vector<std::string> arguments;
    ProgramOptions options;
    std::string err;
  } cases[] = {
      {{"book.pdf", "other.pdf"}, {}, "vellox: warning: 'other.pdf'" + oneAtATime},
      {{"book.pdf", "other.pdf", "gone.pdf", "-ML", "-1"}, {},
       "vellox: warning: 'other.pdf' and 1 more name" + oneAtATime},
      {{"book.pdf"}, bogusReader,
       "vellox: warning: unknown VELLOX_READER 'bogus' ignored; the default, auto, is used\n"},
  };
  for (const Case& c : cases) {
    ProgramResult r = Run(c.arguments, c.options);
    EXPECT_EQ(r.exitCode, 0) << c.err;
    EXPECT_EQ(r.out, kBanner) << c.err;
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(ReadFile(scratch.Path("book.pdr")), SampleBookmarks()) << c.err;
  }
  EXPECT_FALSE(testing::FileExists(scratch.Path("other.pdr")));
  // --show too: its file first, the others ignored.
  ProgramResult r = Run({"--show", "book.pdr", "other.pdf", "more.pdf"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "vellox: warning: 'other.pdf' and 1 more name" + oneAtATime);
}

// "/?" asks for help on Windows, where it can name no file; here it names
// the file "?" at the root, and is read as a path.
TEST_F(EndToEndTest, SlashQuestionMarkIsAPath) {
  ProgramResult r = Run({"/?"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "vellox: cannot read '/?': No such file or directory\n");
}

TEST_F(EndToEndTest, LostStandardOutputIsAFailure) {
  CopySample("book.pdf");
  ProgramOptions full;
  full.standardOutput = "/dev/full";
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{"book.pdf"},
                                                    {"--help"},
                                                    {"--version"},
                                                    {"--show", "book.pdf"}}) {
    ProgramResult r = Run(arguments, full);
    EXPECT_EQ(r.exitCode, 1) << arguments[0];
    EXPECT_EQ(r.err, "vellox: cannot write to standard output: No space left on device\n")
        << arguments[0];
  }
}

// A pipe whose reader has gone (`vellox --show book.pdf | head -1`, a
// folder run piped into a program that ended): the run, with SIGPIPE at
// its default action as a shell leaves it, is not ended by the signal. It
// ends as any run that lost its output, with status 1, its named events
// removed and its bookmark files written, and says nothing: the reader
// left on purpose.
TEST_F(EndToEndTest, AReaderThatLeavesThePipeMakesStatusOneWithoutAMessage) {
  std::vector<testing::OutlineNode> outline(20000);
  for (std::size_t i = 0; i < outline.size(); ++i)
    outline[i] = {"Item " + std::to_string(i), "/Dest [0 /Fit]", {}};
  WriteFile(scratch.Path("big.pdf"), testing::BuildDocument(1, outline));
  ASSERT_EQ(Run({"big.pdf"}).exitCode, 0);
  CopySample("book.pdf");
  struct Case {
    std::vector<std::string> arguments;
    long bytesRead;  // before the reader leaves
  } cases[] = {
      {{"--show", "big.pdf"}, 100},  // far more output than the pipe holds
      {{"--show", "big.pdr"}, 100},
      {{"--show", "book.pdf"}, 0},
      {{"book.pdf"}, 0},
      {{"."}, 0},
  };
  for (const Case& c : cases) {
    unlink(scratch.Path("book.pdr").c_str());
    ProgramOptions options;
    options.standardOutputBytes = c.bytesRead;
    ProgramResult r = Run(c.arguments, options);
    EXPECT_EQ(r.signal, 0) << c.arguments.back();
    EXPECT_EQ(r.exitCode, 1) << c.arguments.back();
    const std::string summary = "vellox: 2 PDFs: 2 converted, 0 without outline, 0 failed\n";
    EXPECT_EQ(r.err, c.arguments[0] == "." ? summary : "") << c.arguments.back();
    for (const char* name : SyncEvents::kNames)
      EXPECT_EQ(testing::SemaphoreValue(name), -1) << c.arguments.back() << ": " << name;
    if (c.arguments[0] != "--show") {
      EXPECT_EQ(ReadFile(scratch.Path("book.pdr")), SampleBookmarks()) << c.arguments.back();
    }
  }
}

TEST_F(EndToEndTest, FailuresSayWhyAndLeaveAnExistingBookmarkFileAlone) {
  const std::string old = "an earlier bookmark file";
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::string input;  // created with `contents` when not empty
    std::string contents;
    std::string error;  // after the scratch path
  } cases[] = {
      {"missing input", {"gone.pdf"}, "", "", "cannot read '@/gone.pdf': No such file or directory"},
      {"input is the output", {"book.pdr"}, "book.pdr", "x",
       "cannot convert '@/book.pdr': the bookmark file would replace the input file"},
      {"not a PDF", {"book.pdf"}, "book.pdf", "hello, world\n", "cannot read '@/book.pdf': "},
  };
  for (const Case& c : cases) {
    ScratchDirectory dir;
    if (!c.input.empty()) WriteFile(dir.Path(c.input), c.contents);
    std::string pdr = dir.Path(c.arguments[0].substr(0, c.arguments[0].rfind('.')) + ".pdr");
    if (c.input != "book.pdr") WriteFile(pdr, old);
    ProgramOptions options;
    options.directory = dir.path();
    ProgramResult r = RunProgram(VELLOX_BINARY, c.arguments, options);

    std::string expected = "vellox: " + c.error;
    expected.replace(expected.find('@'), 1, dir.path());
    EXPECT_EQ(r.exitCode, 1) << c.name;
    EXPECT_EQ(r.out, "") << c.name;
    EXPECT_EQ(r.err.rfind(expected, 0), 0u) << c.name << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << c.name << ": " << r.err;
    EXPECT_EQ(ReadFile(pdr), c.input == "book.pdr" ? c.contents : old) << c.name;
    EXPECT_EQ(dir.List().size(), c.input.empty() || c.input == "book.pdr" ? 1u : 2u) << c.name;
  }
}

TEST_F(EndToEndTest, WriteFailuresAreReportedAndUndone) {
  CopySample("book.pdf");
  WriteFile(scratch.Path("book.pdr"), "old");

  // A write that fails midway: the file size limit stops it.
  ProgramOptions limited;
  limited.fileSizeLimit = 20;
  ProgramResult r = Run({"book.pdf"}, limited);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "vellox: cannot write '" + scratch.Path("book.pdr") + "': File too large\n");
  EXPECT_EQ(ReadFile(scratch.Path("book.pdr")), "old");
  EXPECT_EQ(scratch.List(), (std::vector<std::string>{"book.pdf", "book.pdr"}));

  // The target is a directory: the final rename fails.
  mkdir(scratch.Path("dir.pdr").c_str(), 0755);
  CopySample("dir.pdf");
  r = Run({"dir.pdf"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err.rfind("vellox: cannot write '" + scratch.Path("dir.pdr") + "': ", 0), 0u) << r.err;
  EXPECT_EQ(scratch.List(), (std::vector<std::string>{"book.pdf", "book.pdr", "dir.pdf", "dir.pdr"}));
}

TEST_F(EndToEndTest, UnwritableDirectoryIsAnError) {
  CopySample("book.pdf");
  chmod(scratch.path().c_str(), 0555);
  ProgramOptions options;
  options.asNobody = true;  // root would write anyway
  ProgramResult r = Run({"book.pdf"}, options);
  chmod(scratch.path().c_str(), 0755);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "vellox: cannot write '" + scratch.Path("book.pdr") + "': Permission denied\n");
  EXPECT_EQ(scratch.List(), std::vector<std::string>{"book.pdf"});
}

TEST_F(EndToEndTest, ControlCharactersInNamesReachNoTerminal) {
  mkdir(scratch.Path("lib").c_str(), 0755);
  const std::string name = "a\nb\x1b[31m\x7f.pdf";
  WriteFile(scratch.Path(name), "hello, world\n");
  WriteFile(scratch.Path("lib/" + name), "hello, world\n");
  const std::string shown = "a\\nb\\x1b[31m\\x7f.pdf";
  const std::string error = "': not a PDF file\n";
  struct Case {
    std::vector<std::string> arguments;
    std::string err;
  } cases[] = {
      {{name}, "vellox: cannot read '" + scratch.Path(shown) + error},
      {{"--show", name}, "vellox: cannot read '" + scratch.Path(shown) + error},
      {{"lib"}, "vellox: cannot read '" + scratch.Path("lib/" + shown) + error +
                    "vellox: 1 PDF: 0 converted, 0 without outline, 1 failed\n"},
  };
  for (const Case& c : cases) {
    ProgramResult r = Run(c.arguments);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, c.err);
  }
}

TEST_F(EndToEndTest, DotDotAfterALinkClimbsFromWhereTheLinkLeads) {
  // here/link leads to real/sub, so link/../book.pdf is real/book.pdf.
  for (const char* dir : {"here", "real", "real/sub"}) mkdir(scratch.Path(dir).c_str(), 0755);
  ASSERT_EQ(symlink("../real/sub", scratch.Path("here/link").c_str()), 0);
  CopySample("real/book.pdf");
  WriteFile(scratch.Path("here/book.pdf"), "not the book the kernel opens");
  WriteFile(scratch.Path("here/book.pdr"), "old");
  ProgramOptions options;
  options.directory = scratch.Path("here");
  ProgramResult r = Run({"link/../book.pdf"}, options);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadFile(scratch.Path("real/book.pdr")), SampleBookmarks());
  EXPECT_EQ(ReadFile(scratch.Path("here/book.pdr")), "old");
}

TEST_F(EndToEndTest, BackslashInTheProgramPathIsNoDirectory) {
  mkdir(scratch.Path("tools\\v1").c_str(), 0755);
  mkdir(scratch.Path("docs").c_str(), 0755);
  const std::string program = scratch.Path("tools\\v1/vellox");
  ASSERT_EQ(symlink(VELLOX_BINARY, program.c_str()), 0);
  CopySample("docs/book.pdf");
  ProgramOptions options;
  options.directory = scratch.Path("docs");
  ProgramResult r = RunProgram(program, {"book.pdf"}, options);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadFile(scratch.Path("docs/book.pdr")), SampleBookmarks());
}

TEST_F(EndToEndTest, RelativePathsWorkBelowACurrentDirectoryLongerThanPathMax) {
  // Built one step at a time: no single path to the bottom can be opened.
  const std::string name(200, 'd');
  const int depth = PATH_MAX / static_cast<int>(name.size()) + 2;
  int top = open(".", O_RDONLY | O_DIRECTORY);
  ASSERT_GE(top, 0);
  ASSERT_EQ(chdir(scratch.path().c_str()), 0);
  int made = 0;
  for (; made < depth; ++made)
    if (mkdir(name.c_str(), 0755) != 0 || chdir(name.c_str()) != 0) break;
  if (made == depth) {
    WriteFile("book.pdf", SampleBook());
    ProgramResult r = RunProgram(VELLOX_BINARY, {"book.pdf"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile("book.pdr"), SampleBookmarks());
    ProgramResult missing = RunProgram(VELLOX_BINARY, {"gone.pdf"});
    EXPECT_EQ(missing.err, "vellox: cannot read 'gone.pdf': No such file or directory\n");
    unlink("book.pdf");
    unlink("book.pdr");
  }
  // Climb back, removing what was made: the scratch clean-up cannot reach it.
  for (int i = 0; i < made; ++i)
    if (chdir("..") != 0 || rmdir(name.c_str()) != 0) break;
  ASSERT_EQ(fchdir(top), 0);
  close(top);
  ASSERT_EQ(made, depth);
}

}  // namespace
}  // namespace vellox

namespace vellox {
namespace {

using testing::ProgramResult;
using testing::RunProgram;
using testing::ScratchDirectory;

// A FIFO, a socket-like special file or a device given as the PDF (or as
// the bookmark file to show) is refused at once with one line: opening a
// FIFO for reading would wait for a writer for ever. `timeout` only
// guards the test against such a hang, with a wide margin.
TEST(SpecialFileTest, RefusedAtOnceWithOneLine) {
  ScratchDirectory scratch;
  ASSERT_EQ(mkfifo(scratch.Path("pipe.pdf").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo(scratch.Path("pipe.pdr").c_str(), 0600), 0);
  const struct {
    std::vector<std::string> arguments;
    std::string path;
  } cases[] = {
      {{"pipe.pdf"}, scratch.Path("pipe.pdf")},
      {{"--show", "pipe.pdf"}, scratch.Path("pipe.pdf")},
      {{"--show", "pipe.pdr"}, scratch.Path("pipe.pdr")},
      {{"/dev/zero"}, "/dev/zero"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = {"60", VELLOX_BINARY};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    testing::ProgramOptions options;
    options.directory = scratch.path();
    const ProgramResult r = RunProgram("/usr/bin/timeout", arguments, options);
    EXPECT_EQ(r.exitCode, 1) << c.arguments.back();
    EXPECT_EQ(r.err, "vellox: cannot read '" + c.path + "': not a regular file\n");
  }
  // In folder mode a FIFO is not taken for a PDF at all.
  std::vector<std::string> arguments = {"60", VELLOX_BINARY, scratch.path()};
  const ProgramResult folder = RunProgram("/usr/bin/timeout", arguments);
  EXPECT_EQ(folder.exitCode, 0) << folder.err;
}

}  // namespace
}  // namespace vellox

namespace vellox {
namespace {

// A file only the repairing reader reads goes through its module and
// comes back whole: the program and the module hand the outline over in
// C types (they may hold separate C++ runtimes), titles beyond ASCII,
// page labels and the repair note included. It reads as the sound file
// reads with the built-in reader.
TEST(RepairModuleTest, ARepairedOutlineCrossesTheModuleWhole) {
  testing::PdfBuilder pdf;
  pdf.AddPages(5);
  // "Café—Ω" in UTF-16.
  const std::string utf16("\xFE\xFF\x00" "C\x00" "a\x00" "f\x00\xE9\x20\x14\x03\xA9", 14);
  pdf.AddOutline({{"Preface", "/Dest [" + pdf.PageRef(0) + " /Fit]", {}},
                  {utf16, "/Dest [" + pdf.PageRef(2) + " /Fit]",
                   {{"Section", "/Dest [" + pdf.PageRef(4) + " /Fit]", {}}}}});
  pdf.AddCatalog("/PageLabels << /Nums [0 << /S /r >> 2 << /S /D /P (A-) >>] >>");
  testing::Damage damage;
  damage.wrongOffsets = true;
  ScratchDirectory scratch;
  WriteFile(scratch.Path("sound.pdf"), pdf.Build());
  WriteFile(scratch.Path("damaged.pdf"), pdf.Build(damage));
  ProgramOptions options;
  options.directory = scratch.path();

  const ProgramResult sound = RunProgram(VELLOX_BINARY, {"--show", "sound.pdf", "-PL"}, options);
  ASSERT_EQ(sound.exitCode, 0) << sound.err;
  ASSERT_NE(sound.out.find("A-3"), std::string::npos) << sound.out;
  const ProgramResult damaged =
      RunProgram(VELLOX_BINARY, {"--show", "damaged.pdf", "-PL"}, options);
  EXPECT_EQ(damaged.exitCode, 0) << damaged.err;
  EXPECT_EQ(damaged.out, sound.out);
  EXPECT_EQ(damaged.err.rfind("vellox: warning: ", 0), 0u) << damaged.err;

  // The conversion, and the same with the qpdf reader asked for outright.
  for (const char* reader : {"auto", "qpdf"}) {
    options.environment = {std::string("VELLOX_READER=") + reader};
    const ProgramResult converted = RunProgram(VELLOX_BINARY, {"damaged.pdf", "-PL"}, options);
    EXPECT_EQ(converted.exitCode, 0) << reader << ": " << converted.err;
    const ProgramResult reference = RunProgram(VELLOX_BINARY, {"sound.pdf", "-PL"}, options);
    EXPECT_EQ(reference.exitCode, 0) << reader << ": " << reference.err;
    EXPECT_EQ(ReadFile(scratch.Path("damaged.pdr")), ReadFile(scratch.Path("sound.pdr"))) << reader;
  }
}

// What qpdf builds for a damaged file keeps a memory budget in proportion
// to the file: a bookmark whose dictionary holds millions of empty
// arrays (2 bytes of text, some 150 of qpdf's) is refused with one line,
// by either way to the repairing reader and in a folder, where the other
// files convert still; the same item with fewer arrays reads. The system
// running out of memory first is no budget, and no recovered outline
// either, though qpdf catches the failure and reads on.
TEST(RepairModuleTest, QpdfMemoryPastTheBudgetIsRefusedInOneLine) {
  if (!VELLOX_QPDF_MEMORY_COUNTED) GTEST_SKIP() << "the module's operator new does not serve qpdf";
  const auto damaged = [](std::size_t arrays) {
    testing::PdfBuilder pdf;
    pdf.AddPages(2);
    std::string pad;
    pad.reserve(2 * arrays);
    for (std::size_t i = 0; i < arrays; ++i) pad += "[]";
    pdf.AddOutline({{"One", "/Dest [" + pdf.PageRef(1) + " /Fit] /Pad [" + pad + "]", {}}});
    pdf.AddCatalog();
    testing::Damage damage;
    damage.wrongOffsets = true;
    return pdf.Build(damage);
  };
  ScratchDirectory scratch;
  WriteFile(scratch.Path("hostile.pdf"), damaged(4000000));  // 8 MB: qpdf would take 600 MB
  WriteFile(scratch.Path("legitimate.pdf"), damaged(100000));
  testing::PdfBuilder sound;
  sound.AddPages(1);
  sound.AddOutline({{"Sound", "", {}}});
  sound.AddCatalog();
  WriteFile(scratch.Path("sound.pdf"), sound.Build());
  const std::string refused = "the memory for repairing the file exceeds the limit of ";

  const struct {
    const char* name;
    const char* reader;
    std::vector<std::string> arguments;
    int exitCode;
    std::vector<std::string> lines;    // the start of each stderr line
    std::vector<std::string> written;  // the bookmark files
    long addressSpace = -1;
  } cases[] = {
      {"past the budget", "auto", {"hostile.pdf"}, 1,
       {"vellox: cannot read '" + scratch.Path("hostile.pdf") + "': " + refused}, {}},
      {"past the budget, the qpdf reader chosen", "qpdf", {"hostile.pdf"}, 1,
       {"vellox: cannot read '" + scratch.Path("hostile.pdf") + "': " + refused}, {}},
      {"within it", "auto", {"legitimate.pdf"}, 0,
       {"vellox: warning: '" + scratch.Path("legitimate.pdf") +
        "': the file is damaged; read what could be recovered"},
       {"legitimate.pdr"}},
      {"a folder, on two threads", "auto", {".", "-j", "2"}, 1,
       {"vellox: cannot read '" + scratch.Path("hostile.pdf") + "': " + refused,
        "vellox: warning: '" + scratch.Path("legitimate.pdf") + "': the file is damaged",
        "vellox: 3 PDFs: 2 converted, 0 without outline, 1 failed"},
       {"legitimate.pdr", "sound.pdr"}},
      {"the system out of memory before the budget", "auto", {"hostile.pdf"}, 1,
       {"vellox: cannot convert '" + scratch.Path("hostile.pdf") + "': out of memory"}, {},
       200L << 20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char* pdr : {"hostile.pdr", "legitimate.pdr", "sound.pdr"})
      std::remove(scratch.Path(pdr).c_str());
    ProgramOptions options;
    options.directory = scratch.path();
    options.environment = {std::string("VELLOX_READER=") + c.reader};
    options.addressSpaceLimit = c.addressSpace;
    const ProgramResult r = RunProgram(VELLOX_BINARY, c.arguments, options);
    EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < r.err.size();) {
      const std::size_t end = r.err.find('\n', start);
      if (end == std::string::npos) break;
      lines.push_back(r.err.substr(start, end - start));
      start = end + 1;
    }
    ASSERT_EQ(lines.size(), c.lines.size()) << r.err;
    for (std::size_t i = 0; i < lines.size(); ++i)
      EXPECT_EQ(lines[i].substr(0, c.lines[i].size()), c.lines[i]) << r.err;
    for (const char* pdr : {"hostile.pdr", "legitimate.pdr", "sound.pdr"})
      EXPECT_EQ(testing::FileExists(scratch.Path(pdr)),
                std::count(c.written.begin(), c.written.end(), pdr) == 1)
          << pdr;
  }
}

// A copy of the program without its qpdf module beside it (and none in
// the library folder next to it): a sound PDF converts as ever, and one
// that needs repair fails with one line that says why, writing nothing.
TEST(RepairModuleTest, MissingModuleIsOneLineAndSoundFilesStillConvert) {
  testing::ScratchDirectory scratch;
  const std::string program = scratch.Path("vellox");
  testing::WriteFile(program, testing::ReadFile(VELLOX_BINARY));
  ASSERT_EQ(chmod(program.c_str(), 0755), 0);
  const std::string sample = testing::SampleBook();
  testing::WriteFile(scratch.Path("sound.pdf"), sample);
  // A wrong cross-reference offset: only the repairing reader reads it.
  std::string damaged = sample;
  const std::size_t at = damaged.rfind("startxref");
  ASSERT_NE(at, std::string::npos);
  damaged = damaged.substr(0, at) + "startxref\n7\n%%EOF\n";
  testing::WriteFile(scratch.Path("damaged.pdf"), damaged);

  testing::ProgramOptions options;
  options.directory = scratch.path();
  const testing::ProgramResult sound = testing::RunProgram(program, {"sound.pdf"}, options);
  EXPECT_EQ(sound.exitCode, 0) << sound.err;
  EXPECT_TRUE(testing::FileExists(scratch.Path("sound.pdr")));

  const testing::ProgramResult r = testing::RunProgram(program, {"damaged.pdf"}, options);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_NE(r.err.find("vellox-qpdf.so) cannot be loaded"), std::string::npos) << r.err;
  EXPECT_FALSE(testing::FileExists(scratch.Path("damaged.pdr")));
}

}  // namespace
}  // namespace vellox

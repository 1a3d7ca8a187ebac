// File names with characters that the ANSI code page lacks (Japanese and
// Greek in code page 1252; Greek with accents in 932), as a Windows user
// has them: the program takes them from its UTF-16 command line and from
// folder listings, hands the component the UTF-16 path, reads and writes
// them with either reader, and names them in its messages as the code
// page can show them.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_util.h"
#include "windows/wine_program.h"

namespace vellox {
namespace {

using testing::Ansi;
using testing::Line;
using testing::Lines;
using testing::Outcome;
using testing::Pdr;
using testing::Program;
using testing::ReadFileAt;
using testing::RunProgram;
using testing::ScopedEnvironment;
using testing::WriteFileAt;

const std::string kJapanese = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";  // U+65E5 U+672C U+8A9E
const std::string kGreek = "\xCE\x92\xCE\xB9\xCE\xB2\xCE\xBB\xCE\xAF\xCE\xBF";  // "Biblio"

// Run once with the test component and once with the built-in reader;
// the names run in code page 932 as well ("CodePage" in the name).
class NamesOutsideTheCodePageTest : public ::testing::TestWithParam<const char*> {
 protected:
  bool Component() const { return std::string(GetParam()) == "component"; }
  std::string Path(const std::string& name) const { return scratch.path() + "\\" + name; }
  // The test component reads its fixture text; the built-in reader the
  // sample book.
  std::string Pdf() const {
    return Component() ? std::string("log\nitem 0 0 A\nitem 1 2 B\n")
                       : ReadFileAt(testing::WindowsPath(VELLOX_SAMPLE));
  }
  // The bookmark file that PDF gives under a plain name.
  std::string ExpectedPdr() {
    if (Component()) return Pdr({{0, "1 A"}, {2, "3   B"}});
    WriteFileAt(reference.Path("book.pdf"), Pdf());
    Outcome run = RunProgram(Program(), Program(), {reference.Path("book.pdf")}, "", capture);
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    return ReadFileAt(reference.Path("book.pdr"));
  }

  ScopedEnvironment reader{"VELLOX_READER", GetParam()};
  testing::ScratchDirectory scratch, reference, capture;
};

INSTANTIATE_TEST_SUITE_P(Readers, NamesOutsideTheCodePageTest,
                         ::testing::Values("component", "builtin"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param);
                         });

TEST_P(NamesOutsideTheCodePageTest, SingleFiles) {
  const std::string expected = ExpectedPdr();
  ASSERT_FALSE(expected.empty());
  for (const std::string& name : {kJapanese, kGreek, kJapanese + " " + kGreek}) {
    const std::string pdf = Path(name + ".pdf");
    WriteFileAt(pdf, Pdf());
    Outcome run = RunProgram(Program(), Program(), {pdf}, "", capture);
    EXPECT_EQ(run.exitCode, 0u) << name << ": " << run.err;
    EXPECT_EQ(run.err, "") << name;
    EXPECT_EQ(ReadFileAt(Path(name + ".pdr")), expected) << name;
    // The component was handed the path in UTF-16, every character whole.
    if (Component()) {
      const std::vector<std::string> calls = Lines(ReadFileAt(pdf + ".calls"));
      ASSERT_FALSE(calls.empty()) << name;
      EXPECT_EQ(calls[0], "Open " + pdf) << name;
    }
    Outcome shown = RunProgram(Program(), Program(), {"--show", pdf}, "", capture);
    EXPECT_EQ(shown.exitCode, 0u) << name << ": " << shown.err;
    Outcome fromPdr = RunProgram(Program(), Program(), {"--show", Path(name + ".pdr")}, "", capture);
    EXPECT_EQ(fromPdr.exitCode, 0u) << name << ": " << fromPdr.err;
    EXPECT_EQ(fromPdr.out, shown.out) << name;
  }
  // Nothing else, such as a file under a garbled name.
  EXPECT_EQ(testing::ListFolder(scratch.path()).size(), Component() ? 9u : 6u);
}

// Relative names too, taken from the program's folder, itself so named.
TEST_P(NamesOutsideTheCodePageTest, TheProgramInSuchAFolder) {
  const std::string folder = Path(kGreek);
  ASSERT_TRUE(CreateDirectoryW(testing::Wide(folder).c_str(), nullptr));
  const std::string program = folder + "\\" + kJapanese + ".exe";
  ASSERT_TRUE(CopyFileW(testing::Wide(Program()).c_str(), testing::Wide(program).c_str(), TRUE));
  WriteFileAt(folder + "\\" + kJapanese + ".pdf", Pdf());
  Outcome run = RunProgram(program, program, {kJapanese + ".pdf"}, scratch.path(), capture);
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(ReadFileAt(folder + "\\" + kJapanese + ".pdr"), ExpectedPdr());
}

TEST_P(NamesOutsideTheCodePageTest, AFolder) {
  const std::string expected = ExpectedPdr();
  const std::string sub = Path(kGreek);
  ASSERT_TRUE(CreateDirectoryW(testing::Wide(sub).c_str(), nullptr));
  const std::vector<std::string> pdfs = {Path(kJapanese + ".pdf"), sub + "\\" + kGreek + ".pdf",
                                         sub + "\\" + kJapanese + ".PDF", Path("plain.pdf")};
  for (const std::string& pdf : pdfs) WriteFileAt(pdf, Pdf());
  Outcome run = RunProgram(Program(), Program(), {scratch.path(), "-j", "2"}, "", capture);
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(run.err, Line("vellox: 4 PDFs: 4 converted, 0 without outline, 0 failed"));
  for (const std::string& pdf : pdfs)
    EXPECT_EQ(ReadFileAt(pdf.substr(0, pdf.size() - 4) + ".pdr"), expected) << pdf;
}

// Messages go to a file or a pipe in the ANSI code page, with '?' for what
// it lacks; on a console every character shows (run_wine_tests.sh).
TEST_P(NamesOutsideTheCodePageTest, MessagesNameTheFileAsTheCodePageCan) {
  const std::string pdf = Path(kJapanese + " " + kGreek + ".pdf");
  WriteFileAt(pdf, Component() ? "open 80004005 not for this test\n" : "not a PDF");
  Outcome run = RunProgram(Program(), Program(), {pdf}, "", capture);
  EXPECT_EQ(run.exitCode, 1u);
  const std::string prefix = "vellox: cannot read '" + Ansi(pdf) + "': ";
  EXPECT_EQ(run.err.substr(0, prefix.size()), prefix) << run.err;
  EXPECT_EQ(run.err.find("\r\n"), run.err.size() - 2) << run.err;
  if (GetACP() == 1252) {
    EXPECT_NE(run.err.find("'" + scratch.path() + "\\??? ??????.pdf'"), std::string::npos)
        << run.err;
  }
  // In folder mode too; the other files are converted.
  WriteFileAt(Path(kGreek + ".pdf"), Pdf());
  run = RunProgram(Program(), Program(), {scratch.path()}, "", capture);
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_NE(run.err.find(prefix), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(Line("vellox: 2 PDFs: 1 converted, 0 without outline, 1 failed")),
            std::string::npos)
      << run.err;
  EXPECT_EQ(ReadFileAt(Path(kGreek + ".pdr")), ExpectedPdr());
}

}  // namespace
}  // namespace vellox

// vellox.exe on a machine without the PDF document component: the built-in
// reader reads real PDFs, and must write what the Linux build writes for
// the same files. run_wine_tests.sh prepares the files and the Linux
// build's output for them in the folder VELLOX_WINE_FIXTURES names:
//
//   clean/NAME.pdf        read cleanly on Linux; titles in ASCII
//   clean/NAME.pdr        the Linux build's bookmark file for it
//   clean/NAME.show       the Linux build's --show lines for it
//   western/NAME.pdf      read cleanly on Linux; titles in code page 1252
//   western/NAME.show     the Linux build's --show lines, in code page 1252
//   unreadable/KIND-*.pdf damaged, or needing a password (KIND): no reader
//                         here
//   encrypted/NAME.pdf    an original, read cleanly on Linux
//   encrypted/NAME--CIPHER.pdf  the same encrypted without a user password
//
// BuiltinReaderTest needs the real built-in reader (builtin_reader/);
// ComponentFirstTest does not.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "test_util.h"
#include "windows/wine_program.h"

namespace vellox {
namespace {

using testing::ComponentUnregistered;
using testing::Line;
using testing::Outcome;
using testing::Pdr;
using testing::Program;
using testing::ReadFile;
using testing::RunProgram;
using testing::ScopedEnvironment;
using testing::ScratchDirectory;
using testing::WindowsPath;
using testing::WriteFile;

std::string FixtureFolder() {
  const char* folder = std::getenv("VELLOX_WINE_FIXTURES");
  return folder == nullptr ? std::string() : WindowsPath(folder);
}

// The names (without .pdf) of the PDFs in `folder`.
std::vector<std::string> PdfNames(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*.pdf").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    names.push_back(name.substr(0, name.size() - 4));
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

std::string WithoutCarriageReturns(std::string text) {
  std::string out;
  for (char c : text)
    if (c != '\r') out += c;
  return out;
}

// The sample book's bookmarks, titles in code page 1252: the Greek one,
// which it cannot show, as its default character.
const std::vector<testing::Record> kSample = {{1, "02 Preface"},
                                              {3, "04 Chapter 1 \x97 Beginnings"},
                                              {4, "05   1.1 First steps"},
                                              {4, "05     1.1.1 Caf\xE9 notes"},
                                              {5, "06   1.2 ????????"},
                                              {6, "07 Chapter 2"},
                                              {7, "08   2.1 Notes"},
                                              {8, "09 Appendix A \x97 Tables"},
                                              {9, "10 Index"}};

class WineReaderTest : public ::testing::Test {
 protected:
  Outcome Run(const std::vector<std::string>& arguments) {
    return RunProgram(Program(), Program(), arguments, "", capture);
  }
  // Copies `from` into the scratch directory as `name`.
  void Copy(const std::string& from, const std::string& name) {
    WriteFile(scratch.Path(name), ReadFile(from));
  }

  ScratchDirectory scratch;
  ScratchDirectory capture;
};

class BuiltinReaderTest : public WineReaderTest {
 protected:
  void SetUp() override {
    fixtures = FixtureFolder();
    ASSERT_FALSE(fixtures.empty()) << "VELLOX_WINE_FIXTURES is not set (run_wine_tests.sh sets it)";
    clean = PdfNames(fixtures + "\\clean");
    ASSERT_FALSE(clean.empty()) << fixtures;
    unreadable = PdfNames(fixtures + "\\unreadable");
    ASSERT_FALSE(unreadable.empty()) << fixtures;
  }
  std::string Clean(const std::string& name, const char* extension) const {
    return fixtures + "\\clean\\" + name + extension;
  }
  std::string Western(const std::string& name, const char* extension) const {
    return fixtures + "\\western\\" + name + extension;
  }

  std::string fixtures;
  std::vector<std::string> clean;
  std::vector<std::string> unreadable;
};

TEST_F(BuiltinReaderTest, WritesWhatTheLinuxBuildWrites) {
  ComponentUnregistered unregistered;
  ASSERT_TRUE(unregistered.ok());
  for (const std::string& name : clean) {
    Copy(Clean(name, ".pdf"), "book.pdf");
    Outcome run = Run({scratch.Path("book.pdf")});
    EXPECT_EQ(run.exitCode, 0u) << name << ": " << run.err;
    EXPECT_EQ(run.err, "") << name;
    EXPECT_EQ(ReadFile(scratch.Path("book.pdr")), ReadFile(Clean(name, ".pdr"))) << name;

    run = Run({"--show", scratch.Path("book.pdf")});
    EXPECT_EQ(run.exitCode, 0u) << name << ": " << run.err;
    EXPECT_EQ(WithoutCarriageReturns(run.out), ReadFile(Clean(name, ".show"))) << name;
  }
}

// Titles beyond ASCII differ from the Linux build's only by their code
// page: the lines --show prints, for the PDF and for the bookmark file
// written from it, are the Linux build's in code page 1252.
TEST_F(BuiltinReaderTest, WesternTitlesAsTheLinuxBuildReadsThem) {
  if (GetACP() != 1252) GTEST_SKIP() << "for code page 1252";
  ComponentUnregistered unregistered;
  ASSERT_TRUE(unregistered.ok());
  const std::vector<std::string> western = PdfNames(fixtures + "\\western");
  ASSERT_FALSE(western.empty()) << fixtures;
  for (const std::string& name : western) {
    Copy(Western(name, ".pdf"), "book.pdf");
    Outcome run = Run({scratch.Path("book.pdf")});
    EXPECT_EQ(run.exitCode, 0u) << name << ": " << run.err;
    EXPECT_EQ(run.err, "") << name;
    for (const char* file : {"book.pdf", "book.pdr"}) {
      run = Run({"--show", scratch.Path(file)});
      EXPECT_EQ(run.exitCode, 0u) << name << " " << file << ": " << run.err;
      EXPECT_EQ(WithoutCarriageReturns(run.out), ReadFile(Western(name, ".show")))
          << name << " " << file;
    }
  }
}

// With no component registered, and with one registered that the
// environment variable tells the program to pass by.
TEST_F(BuiltinReaderTest, ConvertsTheSample) {
  if (GetACP() != 1252) GTEST_SKIP() << "for code page 1252";
  Copy(WindowsPath(VELLOX_SAMPLE), "book.pdf");
  for (bool registered : {false, true}) {
    ScopedEnvironment reader("VELLOX_READER", registered ? "builtin" : "auto");
    std::unique_ptr<ComponentUnregistered> unregistered;
    if (!registered) unregistered.reset(new ComponentUnregistered);
    Outcome run = Run({scratch.Path("book.pdf")});
    EXPECT_EQ(run.exitCode, 0u) << registered << ": " << run.err;
    EXPECT_EQ(run.err, "") << registered;
    EXPECT_EQ(ReadFile(scratch.Path("book.pdr")), Pdr(kSample)) << registered;
  }
}

TEST_F(BuiltinReaderTest, ConvertsAFolder) {
  ComponentUnregistered unregistered;
  ASSERT_TRUE(unregistered.ok());
  ASSERT_TRUE(CreateDirectoryA(scratch.Path("sub").c_str(), nullptr));
  for (std::size_t i = 0; i < clean.size(); ++i)
    Copy(Clean(clean[i], ".pdf"), (i % 2 ? "sub\\" : "") + clean[i] + ".pdf");
  const std::string damaged = scratch.Path("sub\\" + unreadable[0] + ".pdf");
  Copy(fixtures + "\\unreadable\\" + unreadable[0] + ".pdf", "sub\\" + unreadable[0] + ".pdf");
  Outcome run = Run({scratch.path(), "-j", "2"});
  EXPECT_EQ(run.exitCode, 1u);  // the damaged one
  EXPECT_NE(run.err.find("vellox: cannot read '" + damaged + "': "), std::string::npos)
      << run.err;
  for (std::size_t i = 0; i < clean.size(); ++i) {
    EXPECT_EQ(ReadFile(scratch.Path((i % 2 ? "sub\\" : "") + clean[i] + ".pdr")),
              ReadFile(Clean(clean[i], ".pdr")))
        << clean[i];
  }
  EXPECT_FALSE(testing::FileExists(scratch.Path("sub\\" + unreadable[0] + ".pdr")));
}

// Encrypted with the empty user password (RC4, AES-128, AES-256, with
// and without object streams): each writes its original's bookmark file.
// One run converts them all.
TEST_F(BuiltinReaderTest, EncryptedFilesReadAsTheirOriginals) {
  ComponentUnregistered unregistered;
  ASSERT_TRUE(unregistered.ok());
  const std::vector<std::string> names = PdfNames(fixtures + "\\encrypted");
  for (const std::string& name : names)
    Copy(fixtures + "\\encrypted\\" + name + ".pdf", name + ".pdf");
  Outcome run = Run({scratch.path()});
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  int encrypted = 0;
  for (const std::string& name : names) {
    const std::size_t cut = name.find("--");
    if (cut == std::string::npos) continue;
    ++encrypted;
    const std::string original = ReadFile(scratch.Path(name.substr(0, cut) + ".pdr"));
    EXPECT_FALSE(original.empty()) << name;
    EXPECT_EQ(ReadFile(scratch.Path(name + ".pdr")), original) << name;
  }
  EXPECT_GT(encrypted, 0) << fixtures;
}

// No reader on Windows repairs, or opens what needs a password: one line
// naming the file and what is wrong with it, exit status 1, the old
// bookmark file untouched.
TEST_F(BuiltinReaderTest, DamagedAndPasswordProtectedFilesFailInOneLine) {
  ComponentUnregistered unregistered;
  ASSERT_TRUE(unregistered.ok());
  for (const std::string& name : unreadable) {
    const std::string kind = name.substr(0, name.find('-'));  // "damaged", "password"
    Copy(fixtures + "\\unreadable\\" + name + ".pdf", "book.pdf");
    WriteFile(scratch.Path("book.pdr"), "the old bookmarks");
    const std::vector<std::string> before = scratch.List();
    Outcome run = Run({scratch.Path("book.pdf")});
    EXPECT_EQ(run.exitCode, 1u) << name;
    EXPECT_EQ(run.out, "") << name;
    const std::string prefix = "vellox: cannot read '" + scratch.Path("book.pdf") + "': ";
    EXPECT_EQ(run.err.substr(0, prefix.size()), prefix) << name << ": " << run.err;
    EXPECT_NE(run.err.find(kind, prefix.size()), std::string::npos) << name << ": " << run.err;
    EXPECT_EQ(run.err.find("\r\n"), run.err.size() - 2) << name << ": one line: " << run.err;
    EXPECT_EQ(ReadFile(scratch.Path("book.pdr")), "the old bookmarks") << name;
    EXPECT_EQ(scratch.List(), before) << name;
  }
}

// A registered component is asked first, and its outline is the one
// written: the test component reads a real PDF as its own fixture text,
// which holds no items.
TEST(ComponentFirstTest, TheRegisteredComponentReadsThePdf) {
  ScratchDirectory scratch, capture;
  WriteFile(scratch.Path("book.pdf"), ReadFile(WindowsPath(VELLOX_SAMPLE)));
  for (const char* reader : {"auto", "component"}) {
    ScopedEnvironment choice("VELLOX_READER", reader);
    Outcome run = RunProgram(Program(), Program(), {scratch.Path("book.pdf")}, "", capture);
    EXPECT_EQ(run.exitCode, 0u) << reader << ": " << run.err;
    EXPECT_EQ(run.err, Line("vellox: '" + scratch.Path("book.pdf") +
                            "' has no outline; the bookmark file is empty"))
        << reader;
    EXPECT_EQ(ReadFile(scratch.Path("book.pdr")), Pdr({})) << reader;
  }
}

}  // namespace
}  // namespace vellox

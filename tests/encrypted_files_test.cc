// Encrypted PDFs as users get them: qpdf's command line encrypts books with
// the empty user password in each way it knows, and the program, with its
// own reader alone, writes each one's bookmark file byte for byte as it
// writes the original's. One that needs a password fails in one line.

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "program_test.h"

namespace vellox {
namespace {

using testing::ProgramOptions;
using testing::ProgramResult;
using testing::ReadFile;
using testing::RunProgram;
using testing::WriteFile;

class EncryptedFilesTest : public testing::ProgramTest {
 protected:
  void SetUp() override {
    if (access(VELLOX_QPDF_PROGRAM, X_OK) != 0) GTEST_SKIP() << "needs qpdf's command line";
  }

  // qpdf with `arguments`, in the scratch directory.
  ProgramResult Qpdf(const std::vector<std::string>& arguments) const {
    ProgramOptions options;
    options.directory = scratch.path();
    return RunProgram(VELLOX_QPDF_PROGRAM, arguments, options);
  }

  ProgramResult Builtin(const std::string& pdf) const {
    ProgramOptions options;
    options.environment.push_back("VELLOX_READER=builtin");
    return Run({pdf}, options);
  }
};

TEST_F(EncryptedFilesTest, ReadAsTheirOriginals) {
  const std::string source = VELLOX_SOURCE_DIR;
  const std::vector<std::string> originals = {
      source + "/samples/sample.pdf",
      source + "/fuzz/corpus/differential/book",  // every kind of destination
  };
  const std::vector<std::vector<std::string>> ciphers = {
      {"40"},
      {"128"},
      {"128", "--cleartext-metadata"},  // RC4 in a crypt filter, revision 4
      {"128", "--use-aes=y"},
      {"128", "--use-aes=y", "--cleartext-metadata"},
      {"256"},
      {"256", "--cleartext-metadata"},
      {"256", "--force-R5"},
  };
  for (const std::string& original : originals) {
    WriteFile(scratch.Path("original.pdf"), ReadFile(original));
    ProgramResult read = Builtin("original.pdf");
    ASSERT_EQ(read.exitCode, 0) << original << ": " << read.err;
    const std::string expected = ReadFile(scratch.Path("original.pdr"));
    for (const auto& cipher : ciphers) {
      for (const char* objectStreams : {"preserve", "generate"}) {
        std::string name = original + ", " + objectStreams;
        std::vector<std::string> arguments{"--allow-weak-crypto",
                                           std::string("--object-streams=") + objectStreams,
                                           "--encrypt", "", "owner"};
        for (const std::string& option : cipher) {
          arguments.push_back(option);
          name += " " + option;
        }
        arguments.insert(arguments.end(), {"--", "original.pdf", "encrypted.pdf"});
        const ProgramResult encrypted = Qpdf(arguments);
        ASSERT_EQ(encrypted.exitCode, 0) << name << ": " << encrypted.err;

        read = Builtin("encrypted.pdf");
        EXPECT_EQ(read.exitCode, 0) << name << ": " << read.err;
        EXPECT_EQ(read.err, "") << name;
        EXPECT_EQ(ReadFile(scratch.Path("encrypted.pdr")), expected) << name;
      }
    }
  }
}

// With either reader choice: qpdf's fallback (auto) says the same.
TEST_F(EncryptedFilesTest, APasswordProtectedFileFailsInOneLine) {
  CopySample("original.pdf");
  const ProgramResult encrypted =
      Qpdf({"--encrypt", "user", "owner", "256", "--", "original.pdf", "locked.pdf"});
  ASSERT_EQ(encrypted.exitCode, 0) << encrypted.err;
  for (const char* reader : {"builtin", "auto"}) {
    ProgramOptions options;
    options.environment.push_back(std::string("VELLOX_READER=") + reader);
    const ProgramResult r = Run({"locked.pdf"}, options);
    EXPECT_EQ(r.exitCode, 1) << reader;
    EXPECT_EQ(r.out, "") << reader;
    EXPECT_EQ(r.err, "vellox: cannot read '" + scratch.Path("locked.pdf") + "': needs a password\n")
        << reader;
    EXPECT_FALSE(testing::FileExists(scratch.Path("locked.pdr"))) << reader;
  }
}

}  // namespace
}  // namespace vellox

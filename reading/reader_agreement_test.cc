// The two readers on the same files: wherever the built-in reader reads a
// file, the qpdf reader must read the same outline from it. The reader's
// own tests compare every document they write; this adds the shipped
// sample (in the clear and encrypted every way) and the hostile-input
// corpus.

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "pdf_builder.h"
#include "reader_agreement.h"
#include "test_util.h"

namespace vellox {
namespace {

using testing::CompareReaders;
using testing::ScratchDirectory;

TEST(ReaderAgreementTest, Sample) {
  std::string handedOver;
  EXPECT_EQ(CompareReaders(std::string(VELLOX_SOURCE_DIR) + "/samples/sample.pdf", &handedOver),
            "");
  EXPECT_EQ(handedOver, "") << "the built-in reader should read the sample itself";
}

TEST(ReaderAgreementTest, EncryptedSample) {
  ScratchDirectory scratch;
  const std::string sample =
      testing::ReadFile(std::string(VELLOX_SOURCE_DIR) + "/samples/sample.pdf");
  for (const auto& encryption : testing::EveryEncryption()) {
    const std::string path = scratch.Path("encrypted.pdf");
    testing::WriteFile(path, testing::Encrypted(sample, "", "owner", encryption.second));
    std::string handedOver;
    EXPECT_EQ(CompareReaders(path, &handedOver), "") << encryption.first;
    EXPECT_EQ(handedOver, "") << encryption.first;
  }
}

TEST(ReaderAgreementTest, HostileCorpus) {
  if (std::system("python3 --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "needs python3";
  ScratchDirectory scratch;
  const std::string command = "python3 '" + std::string(VELLOX_SOURCE_DIR) +
                              "/tests/hostile/make_corpus.py' '" + scratch.path() + "' --small";
  ASSERT_EQ(std::system(command.c_str()), 0);
  int read = 0;
  std::string handedOverList;
  for (const std::string& name : scratch.List()) {
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".pdf") != 0) continue;
    std::string handedOver;
    EXPECT_EQ(CompareReaders(scratch.Path(name), &handedOver), "") << name;
    if (handedOver.empty()) {
      ++read;
    } else {
      handedOverList += "  " + name + ": " + handedOver + "\n";
    }
  }
  EXPECT_GT(read, 0);
  std::cout << read << " files read by both readers alike; handed over by the built-in reader:\n"
            << handedOverList;
}

}  // namespace
}  // namespace vellox

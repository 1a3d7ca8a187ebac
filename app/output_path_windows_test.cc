#include "app/output_path.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"

// Paths are UTF-8 on Windows whatever the ANSI code page: a search that
// stepped by the code page's characters would misread them. In code page
// 932 the last byte of "\xE8\xAA\x9E" (U+8A9E) is a lead byte, which
// would swallow the full stop or backslash after it.
namespace vellox {
namespace {

const std::string kJapanese = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";  // U+65E5 U+672C U+8A9E
const std::string kGreek = "\xCE\x92\xCE\xB9\xCE\xB2\xCE\xBB\xCE\xAF\xCE\xBF";  // "Biblio"

TEST(OutputPathWindowsTest, NamesOutsideTheCodePageKeepTheirExtension) {
  platform::InitializeCodePage();
  struct Case {
    std::string input;
    std::string expected;
  } cases[] = {
      {"C:\\My Books\\" + kJapanese + ".pdf", "C:\\My Books\\" + kJapanese + ".pdr"},
      // The backslash after U+8A9E starts the last element: "a." is no extension.
      {"C:\\x\\a." + kJapanese + "\\notes", "C:\\x\\a." + kJapanese + "\\notes.pdr"},
      {"C:\\" + kGreek + "\\" + kGreek + ".PDF", "C:\\" + kGreek + "\\" + kGreek + ".pdr"},
      {"C:/" + kJapanese + "/.hidden", "C:/" + kJapanese + "/.hidden.pdr"},
  };
  for (const Case& c : cases) EXPECT_EQ(DeriveOutputPath(c.input), c.expected) << c.input;
}

}  // namespace
}  // namespace vellox

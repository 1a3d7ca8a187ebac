#include "app/control_characters.h"

#include <gtest/gtest.h>

namespace vellox {
namespace {

// One rule for what is escaped; messages spell it as C does, --show as
// \xHH. Single bytes here, the same in every code page; C1 controls and
// the separators, which are the code page's, in the _posix test.
TEST(ControlCharactersTest, EscapesControlCharactersOnly) {
  struct Case {
    std::string text;
    std::string message;  // EscapeStyle::kC
    std::string shown;    // EscapeStyle::kHex
  } cases[] = {
      {"plain 'book.pdf'", "plain 'book.pdf'", "plain 'book.pdf'"},
      {"two\nlines", "two\\nlines", "two\\x0Alines"},
      {"\x1b[31mred", "\\x1b[31mred", "\\x1B[31mred"},
      {"\a\b\t\v\f\r", "\\a\\b\\t\\v\\f\\r", "\\x07\\x08\\x09\\x0B\\x0C\\x0D"},
      {std::string("nul\0", 4), "nul\\x00", "nul\\x00"},
      {"\x01\x1f\x7f", "\\x01\\x1f\\x7f", "\\x01\\x1F\\x7F"},
      {"back\\slash", "back\\slash", "back\\slash"},  // Windows paths stay readable
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EscapeControls(c.text, EscapeStyle::kC), c.message) << c.message;
    EXPECT_EQ(EscapeControls(c.text, EscapeStyle::kHex), c.shown) << c.shown;
  }
}

}  // namespace
}  // namespace vellox

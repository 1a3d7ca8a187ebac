#include "app/control_characters.h"

#include <gtest/gtest.h>

namespace vellox {
namespace {

// One rule for what is escaped; messages spell it as C does, --show as
// \xHH. (The text is UTF-8, as the tests' code page reads it.)
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
      {"caf\xC3\xA9 \xFF\x80", "caf\xC3\xA9 \xFF\x80", "caf\xC3\xA9 \xFF\x80"},
      // C1 controls and the separators, by character: U+0085, U+009B,
      // U+2028; U+00A0 is no control.
      {"a\xC2\x85" "b\xC2\x9B" "c\xE2\x80\xA8" "d\xC2\xA0",
       "a\\xc2\\x85b\\xc2\\x9bc\\xe2\\x80\\xa8d\xC2\xA0",
       "a\\xC2\\x85b\\xC2\\x9Bc\\xE2\\x80\\xA8d\xC2\xA0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EscapeControls(c.text, EscapeStyle::kC), c.message) << c.message;
    EXPECT_EQ(EscapeControls(c.text, EscapeStyle::kHex), c.shown) << c.shown;
  }
}

}  // namespace
}  // namespace vellox

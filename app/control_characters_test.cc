#include "app/message.h"

#include <gtest/gtest.h>

namespace vellox {
namespace {

TEST(MessageTest, EscapesControlCharactersOnly) {
  struct Case {
    std::string text;
    std::string expected;
  } cases[] = {
      {"plain 'book.pdf'", "plain 'book.pdf'"},
      {"two\nlines", "two\\nlines"},
      {"\x1b[31mred", "\\x1b[31mred"},
      {"\a\b\t\v\f\r", "\\a\\b\\t\\v\\f\\r"},
      {std::string("nul\0", 4), "nul\\x00"},
      {"\x01\x1f\x7f", "\\x01\\x1f\\x7f"},
      {"back\\slash", "back\\slash"},  // Windows paths stay readable
      {"caf\xC3\xA9 \xFF\x80", "caf\xC3\xA9 \xFF\x80"},
  };
  for (const Case& c : cases) EXPECT_EQ(EscapeControls(c.text), c.expected) << c.expected;
}

}  // namespace
}  // namespace vellox

#include "app/control_characters.h"

#include <gtest/gtest.h>

namespace vellox {
namespace {

// The rule by character, as the code page reads it: here UTF-8, the C
// locale's (the tests do not change the locale). C1 controls and the line
// and paragraph separators are escaped byte by byte; a no-break space, a
// letter and bytes that are no character stay.
TEST(ControlCharactersTest, C1ControlsAndSeparatorsAsUtf8ReadsThem) {
  struct Case {
    std::string text;
    std::string message;  // EscapeStyle::kC
    std::string shown;    // EscapeStyle::kHex
  } cases[] = {
      {"a\xC2\x85" "b\xC2\x9B" "c\xE2\x80\xA8" "d\xE2\x80\xA9",
       "a\\xc2\\x85b\\xc2\\x9bc\\xe2\\x80\\xa8d\\xe2\\x80\\xa9",
       "a\\xC2\\x85b\\xC2\\x9Bc\\xE2\\x80\\xA8d\\xE2\\x80\\xA9"},
      {"caf\xC3\xA9\xC2\xA0\xFF\x80", "caf\xC3\xA9\xC2\xA0\xFF\x80", "caf\xC3\xA9\xC2\xA0\xFF\x80"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EscapeControls(c.text, EscapeStyle::kC), c.message) << c.message;
    EXPECT_EQ(EscapeControls(c.text, EscapeStyle::kHex), c.shown) << c.shown;
  }
}

}  // namespace
}  // namespace vellox

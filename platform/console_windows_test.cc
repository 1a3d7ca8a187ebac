#include "platform/console.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "test_util.h"

namespace vellox {
namespace platform {
namespace {

// What a file gets for `wide`: the ANSI code page, '?' where it lacks a
// character, never a look-alike.
std::string Ansi(const std::wstring& wide) {
  const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                    static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                      &narrow[0], n, nullptr, nullptr);
  return narrow;
}

// A file or a pipe gets messages in the ANSI code page, whatever pieces
// they are written in: a character split between two writes, or a message
// longer than one conversion's buffer, comes out whole.
TEST(ConsoleTest, TextToAFileIsInTheCodePageWhole) {
  const std::string japanese = "\xE6\x97\xA5";  // U+65E5
  std::string longText;
  std::wstring longWide;
  for (int i = 0; i < 400; ++i) {
    longText += japanese + "\xCE\xB2";  // and U+03B2
    longWide += L"\u65E5\u03B2";
  }
  struct Case {
    const char* name;
    std::vector<std::string> writes;
    std::wstring expected;
  } cases[] = {
      {"whole", {"caf\xC3\xA9 " + japanese}, L"caf\u00E9 \u65E5"},
      {"split after its first byte", {"a\xE6", "\x97\xA5" "b"}, L"a\u65E5b"},
      {"split after its second byte", {"a\xE6\x97", "\xA5" "b"}, L"a\u65E5b"},
      {"longer than a piece", {longText}, longWide},
  };
  testing::ScratchDirectory scratch;
  for (const Case& c : cases) {
    const std::string path = scratch.Path("out.txt");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    for (const std::string& piece : c.writes) WriteText(file, piece);
    std::fclose(file);
    EXPECT_EQ(testing::ReadFile(path), Ansi(c.expected)) << c.name;
  }
}

}  // namespace
}  // namespace platform
}  // namespace vellox

#include "platform/code_page.h"

#include "platform/wide_text.h"

// What follows needs only CharacterLength, which each platform defines for
// its own code pages.
namespace vellox {
namespace platform {

std::size_t FindLastCharacter(const std::string& s, char c, std::size_t from) {
  std::size_t found = std::string::npos;
  for (std::size_t i = from; i < s.size();) {
    if (s[i] == c) found = i;
    i += CharacterLength(s.data() + i, s.size() - i);
  }
  return found;
}

std::size_t CharacterBoundaryAtOrBelow(const std::string& s, std::size_t limit) {
  if (s.size() <= limit) return s.size();
  std::size_t i = 0;
  while (i < limit) {
    std::size_t length = CharacterLength(s.data() + i, s.size() - i);
    if (i + length > limit) break;
    i += length;
  }
  return i;
}

std::string TextFromUtf16(const char16_t* s) {
  // OLECHAR is UTF-16 on every platform (com.h): char16_t itself on POSIX.
  return TextFromWide(reinterpret_cast<const OLECHAR*>(s));
}

}  // namespace platform
}  // namespace vellox

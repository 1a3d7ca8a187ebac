#ifndef VELLOX_PLATFORM_CODE_PAGE_H_
#define VELLOX_PLATFORM_CODE_PAGE_H_

#include <cstddef>
#include <string>

// Titles and the record texts made of them are in the active code page:
// the thread's ANSI code page on Windows, the locale's character set on
// POSIX (UTF-8 in the plain C locale), where every other string is too.
// (Windows holds paths and messages in UTF-8: wide_path.h.) These helpers
// step through such strings by whole characters and convert the readers'
// UTF-16 titles to them; wide_text.h converts at the component boundary.
namespace vellox {
namespace platform {

// Adopts the user's locale; call once at start, before any other helper.
void InitializeCodePage();

// Length in bytes of the character that starts at `s` (at most `n` bytes
// available). Never 0 for n > 0: a byte that starts no valid character
// counts as a character of its own, so stepping always makes progress.
std::size_t CharacterLength(const char* s, std::size_t n);

// Position of the last `c` (an ASCII byte) in `s` that is a character of
// its own, never the trail byte of a multibyte character; npos if none.
std::size_t FindLastCharacter(const std::string& s, char c, std::size_t from = 0);

// Largest length <= `limit` that ends on a character boundary of `s`.
std::size_t CharacterBoundaryAtOrBelow(const std::string& s, std::size_t limit);

// The character of `length` bytes at `s` (as CharacterLength steps) in
// UTF-16 as AllocStringFromBytes (wide_text.h) converts it, when that is a
// single code unit; false when it takes two or none. Allocates nothing.
bool CharacterAsUtf16Unit(const char* s, std::size_t length, char16_t* unit);

// UTF-16 text (titles and labels as the readers hold them) for display, as
// TextFromWide converts it: up to its first NUL, with the code page's
// default character for what it cannot represent. Null gives "".
std::string TextFromUtf16(const char16_t* s);

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_CODE_PAGE_H_

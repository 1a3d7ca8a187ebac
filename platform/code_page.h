#ifndef VELLOX_PLATFORM_CODE_PAGE_H_
#define VELLOX_PLATFORM_CODE_PAGE_H_

#include <cstddef>
#include <string>

#include "platform/com.h"

// Titles and the record texts made of them are in the active code page:
// the thread's ANSI code page on Windows, the locale's character set on
// POSIX (UTF-8 in the plain C locale), where every other string is too.
// (Windows holds paths and messages in UTF-8: wide_path.h.) These helpers
// step through such strings by whole characters and convert them to and
// from UTF-16 at the component boundary.
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
// UTF-16 as AllocStringFromBytes converts it, when that is a single code
// unit; false when it takes two or none. Allocates nothing.
bool CharacterAsUtf16Unit(const char* s, std::size_t length, char16_t* unit);

// UTF-16 text (titles and labels as the readers hold them) for display, as
// TextFromWide converts it: up to its first NUL, with the code page's
// default character for what it cannot represent. Null gives "".
std::string TextFromUtf16(const char16_t* s);

// Whole byte string to a new BSTR. On POSIX, where file names are bytes,
// bytes that do not decode in the active code page are carried as the
// escapes U+DC00 + byte so that BytesFromWide gives the same bytes back;
// on Windows the conversion is the system's, as its "A" functions use.
// Throws std::bad_alloc when the string cannot be allocated.
BSTR AllocStringFromBytes(const std::string& bytes);

// UTF-16 (n units) to bytes, reversing AllocStringFromBytes' escapes.
std::string BytesFromWide(const OLECHAR* s, std::size_t n);

// A title for display: converted up to its first NUL; characters the code
// page cannot represent become its default character. Null gives "".
std::string TextFromWide(const OLECHAR* s);

#ifdef _WIN32
// The same for char16_t text, which is OLECHAR's code units (see com.h).
template <typename Char,
          typename = typename std::enable_if<std::is_same<Char, char16_t>::value>::type>
inline std::string TextFromWide(const Char* s) {
  return TextFromWide(reinterpret_cast<const OLECHAR*>(s));
}
#endif

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_CODE_PAGE_H_

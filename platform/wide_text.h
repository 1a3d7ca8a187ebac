#ifndef VELLOX_PLATFORM_WIDE_TEXT_H_
#define VELLOX_PLATFORM_WIDE_TEXT_H_

#include <cstddef>
#include <string>

#include "platform/com.h"

// Strings in the active code page (code_page.h) to and from the component
// boundary's UTF-16 strings (BSTR). Paths take wide_path.h's conversions.
namespace vellox {
namespace platform {

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

#endif  // VELLOX_PLATFORM_WIDE_TEXT_H_

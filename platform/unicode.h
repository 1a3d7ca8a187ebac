#ifndef VELLOX_PLATFORM_UNICODE_H_
#define VELLOX_PLATFORM_UNICODE_H_

#include <cstddef>
#include <string>

// Unicode's own encodings, the same on every platform: for the code-page
// conversions and for the PDF reader's text strings.
namespace vellox {
namespace platform {

// Decodes the UTF-8 character at `s` (`n` bytes available, n > 0) into
// `out`; returns its length, or 0 when `s` does not start a valid,
// shortest-form, non-surrogate sequence.
std::size_t DecodeUtf8(const char* s, std::size_t n, char32_t* out);

// Appends the code point `c` (no surrogate, at most U+10FFFF) as UTF-16.
void AppendUtf16(char32_t c, std::u16string* out);

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_UNICODE_H_

#ifndef VELLOX_PDF_PDF_TEXT_H_
#define VELLOX_PDF_PDF_TEXT_H_

#include <string>

namespace vellox {
namespace pdf {

// A PDF text string (an outline title, as its raw bytes) in UTF-16: with a
// byte order mark UTF-16BE, UTF-16LE or UTF-8, otherwise PDFDocEncoding.
// Language escapes (U+001B ... U+001B) in UTF-16 text are left out; bytes
// that name no character become U+FFFD.
std::u16string DecodePdfText(const std::string& bytes);

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_PDF_PDF_TEXT_H_

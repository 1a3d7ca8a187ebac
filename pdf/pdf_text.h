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

// A title as a reader should see it: every run of whitespace and control
// characters (C0 and C1 controls, DEL, line and paragraph separators,
// breaking spaces) becomes one space, and none is left at either end.
// Producers put layout into titles ("(\n   Title\n )"), which would show as
// line breaks or a false indentation. No-break spaces, soft hyphens and
// bidirectional marks are meant, and stay.
std::u16string NormalizeTitle(const std::u16string& title);

// An outline title's raw bytes as its bookmark shows it: decoded, cut at
// its first NUL, then normalised. Every reader decodes titles with this.
std::u16string DecodeTitle(const std::string& bytes);

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_PDF_PDF_TEXT_H_

#ifndef VELLOX_PDF_READ_FAILURES_H_
#define VELLOX_PDF_READ_FAILURES_H_

#include <cstddef>
#include <string>

#include "base/status.h"

// What both readers say the same way: whether a file is a PDF at all, and
// the reasons they share.
namespace vellox {
namespace pdf {

// A file is taken for a PDF when its header starts within this many bytes,
// as PDF readers commonly allow.
constexpr std::size_t kPdfHeaderWindow = 1024;

// Whether "%PDF-" lies within the first kPdfHeaderWindow bytes of `start`
// (the file's first bytes, all of them or more).
bool HasPdfHeader(const std::string& start);

// kInvalidData, "not a PDF file": final, no other reader does better.
Status NotAPdfFile();
// kDamaged, "uses a feature that is not supported (DETAIL)": another
// reader may cope.
Status UnsupportedFeature(const std::string& detail);

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_PDF_READ_FAILURES_H_

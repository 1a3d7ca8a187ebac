#include "pdf/read_failures.h"

#include <algorithm>

namespace vellox {
namespace pdf {

bool HasPdfHeader(const std::string& start) {
  static const char kHeader[] = "%PDF-";
  const auto end = start.begin() + static_cast<std::ptrdiff_t>(
                                       std::min(start.size(), kPdfHeaderWindow));
  return std::search(start.begin(), end, kHeader, kHeader + 5) != end;
}

Status NotAPdfFile() { return Status::InvalidData("not a PDF file"); }

Status UnsupportedFeature(const std::string& detail) {
  return Status::Damaged("uses a feature that is not supported (" + detail + ")");
}

}  // namespace pdf
}  // namespace vellox

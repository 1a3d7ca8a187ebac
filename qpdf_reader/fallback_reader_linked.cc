// The fallback reader linked into the program, for tests and fuzzers that
// exercise both readers in one process.

#include "pdf/fallback_reader.h"
#include "qpdf_reader/outline_reader.h"

namespace vellox {
namespace pdf {

StatusOr<FallbackReader> GetFallbackReader() {
  return FallbackReader(&qpdf_reader::ReadOutlineTree);
}

}  // namespace pdf
}  // namespace vellox

// No fallback reader: builds without qpdf (Windows) read with the built-in
// reader alone, and a document it cannot trust fails with its reason.

#include "pdf/fallback_reader.h"

namespace vellox {
namespace pdf {

StatusOr<FallbackReader> GetFallbackReader() { return Status::Unavailable(""); }

}  // namespace pdf
}  // namespace vellox

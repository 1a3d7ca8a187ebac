#ifndef VELLOX_PDF_FALLBACK_READER_H_
#define VELLOX_PDF_FALLBACK_READER_H_

#include <string>

#include "base/status_or.h"
#include "pdf/outline_tree.h"

namespace vellox {
namespace pdf {

// Reads a document the built-in reader cannot trust (damaged, encrypted),
// repairing what can be repaired; results as ReadOutlineTree's.
using FallbackReader = StatusOr<OutlineTree> (*)(const std::string& path);

// The fallback reader; kUnavailable with the reason when it cannot be
// reached, and with no reason at all when the build has none. Which one,
// and how it is reached (loaded as a module on first use, linked in, or
// none), is chosen when the program is linked.
StatusOr<FallbackReader> GetFallbackReader();

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_PDF_FALLBACK_READER_H_

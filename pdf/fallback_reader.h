#ifndef VELLOX_PDF_FALLBACK_READER_H_
#define VELLOX_PDF_FALLBACK_READER_H_

#include <string>

#include "pdf/outline_tree.h"
#include "platform/com.h"

namespace vellox {
namespace pdf {

// Reads a document the built-in reader cannot trust (damaged, encrypted),
// repairing what can be repaired; results as ReadOutlineTree's.
using FallbackReader = HRESULT (*)(const std::string& path, OutlineTree* tree,
                                   std::string* message);

// The fallback reader, null with the reason in `why` when there is none;
// `why` is empty when the build has none at all. Which one, and how it is
// reached (loaded as a module on first use, linked in, or none), is chosen
// when the program is linked.
FallbackReader GetFallbackReader(std::string* why);

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_PDF_FALLBACK_READER_H_

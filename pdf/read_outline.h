#ifndef VELLOX_PDF_READ_OUTLINE_H_
#define VELLOX_PDF_READ_OUTLINE_H_

#include <string>

#include "base/status_or.h"
#include "pdf/outline_tree.h"

namespace vellox {
namespace pdf {

// Which reader reads documents, from the environment variable
// VELLOX_READER, for tests and for comparing readers: "auto" (the default:
// on Windows the registered component first, then the built-in reader;
// elsewhere the built-in reader, handing documents that need repair to the
// fallback), "builtin" (the built-in reader alone), "qpdf" (the fallback
// alone), "component" (on Windows, the registered component alone).
enum class ReaderChoice { kAuto, kBuiltinOnly, kFallbackOnly, kComponentOnly };
ReaderChoice ChosenReader();
// The value of VELLOX_READER when it names none of these, which reads as
// "auto"; empty otherwise.
std::string UnknownReaderChoice();

// The outline of the PDF at `path` (file-name bytes). A file that had to
// be repaired says so in the tree's repairNote. Fails with kNotFound or
// kIoError when the file cannot be read, kInvalidData when it is no PDF,
// kOverLimit past a budget, kDamaged when no reader at hand can read it;
// reasons are one short line. Throws only std::bad_alloc.
StatusOr<OutlineTree> ReadOutlineTree(const std::string& path);

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_PDF_READ_OUTLINE_H_

#ifndef VELLOX_PDF_READ_OUTLINE_H_
#define VELLOX_PDF_READ_OUTLINE_H_

#include <string>

#include "pdf/outline_tree.h"
#include "platform/com.h"

namespace vellox {
namespace pdf {

// Failures of ReadOutlineTree.
constexpr HRESULT kCannotOpen = static_cast<HRESULT>(0x80040200);
constexpr HRESULT kNotPdf = static_cast<HRESULT>(0x80040201);
constexpr HRESULT kNeedsPassword = static_cast<HRESULT>(0x80040202);
constexpr HRESULT kDamagedBeyondRepair = static_cast<HRESULT>(0x80040203);
constexpr HRESULT kUnsupported = static_cast<HRESULT>(0x80040204);
constexpr HRESULT kOverLimit = static_cast<HRESULT>(0x80040206);

// Which reader reads documents, from the environment variable
// VELLOX_READER, for tests and for comparing readers: "auto" (the default:
// on Windows the registered component first, then the built-in reader;
// elsewhere the built-in reader, handing documents that need repair to the
// fallback), "builtin" (the built-in reader alone), "qpdf" (the fallback
// alone), "component" (on Windows, the registered component alone).
enum class ReaderChoice { kAuto, kBuiltinOnly, kFallbackOnly, kComponentOnly };
ReaderChoice ChosenReader();

// Reads the PDF at `path` (file-name bytes) and fills `tree` with its
// outline. S_OK when the file read cleanly; S_FALSE when it was damaged
// and what could be recovered is in `tree`, with `message` saying so;
// a failure, with `message` giving the reason, when it cannot be read.
// Messages are one short line. Throws only std::bad_alloc.
HRESULT ReadOutlineTree(const std::string& path, OutlineTree* tree, std::string* message);

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_PDF_READ_OUTLINE_H_

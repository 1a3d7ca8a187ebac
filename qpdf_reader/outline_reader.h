#ifndef VELLOX_QPDF_READER_OUTLINE_READER_H_
#define VELLOX_QPDF_READER_OUTLINE_READER_H_

#include <string>

#include "platform/com.h"
#include "pdf/outline_tree.h"

namespace vellox {
namespace qpdf_reader {

// Failures of ReadOutlineTree besides those named by an errno value.
constexpr HRESULT kNotPdf = static_cast<HRESULT>(0x80040201);
constexpr HRESULT kNeedsPassword = static_cast<HRESULT>(0x80040202);
constexpr HRESULT kDamagedBeyondRepair = static_cast<HRESULT>(0x80040203);
constexpr HRESULT kUnsupported = static_cast<HRESULT>(0x80040204);
constexpr HRESULT kNotRegularFile = static_cast<HRESULT>(0x80040205);
// An errno value e as a failure: kErrnoBase + e.
constexpr HRESULT kErrnoBase = static_cast<HRESULT>(0x80041000);

// Reads the PDF at `path` (file-name bytes) and fills `tree` with its
// outline. S_OK when the file read cleanly; S_FALSE when it was damaged
// and what could be recovered is in `tree`, with `message` saying so;
// a failure, with `message` giving the reason, when it cannot be read.
// Messages are one short line. Throws only std::bad_alloc.
HRESULT ReadOutlineTree(const std::string& path, pdf::OutlineTree* tree,
                        std::string* message);

}  // namespace qpdf_reader
}  // namespace vellox

#endif  // VELLOX_QPDF_READER_OUTLINE_READER_H_

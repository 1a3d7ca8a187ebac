#ifndef VELLOX_QPDF_READER_OUTLINE_READER_H_
#define VELLOX_QPDF_READER_OUTLINE_READER_H_

#include <string>

#include "platform/com.h"
#include "pdf/outline_tree.h"
#include "pdf/read_outline.h"

namespace vellox {
namespace qpdf_reader {

// Reads the PDF at `path` (file-name bytes) and fills `tree` with its
// outline. S_OK when the file read cleanly; S_FALSE when it was damaged
// and what could be recovered is in `tree`, with `message` saying so;
// a failure (the codes of pdf/read_outline.h), with `message` giving the
// reason, when it cannot be read.
// Messages are one short line. Throws only std::bad_alloc.
HRESULT ReadOutlineTree(const std::string& path, pdf::OutlineTree* tree,
                        std::string* message);

}  // namespace qpdf_reader
}  // namespace vellox

#endif  // VELLOX_QPDF_READER_OUTLINE_READER_H_

#ifndef VELLOX_PDF_READ_OUTLINE_H_
#define VELLOX_PDF_READ_OUTLINE_H_

#include <string>

#include "pdf/outline_tree.h"
#include "platform/com.h"

namespace vellox {
namespace pdf {

// Reads the PDF at `path` (file-name bytes) and fills `tree` with its
// outline. S_OK when the file read cleanly; S_FALSE when it was damaged
// and what could be recovered is in `tree`, with `message` saying so;
// a failure, with `message` giving the reason, when it cannot be read.
// Messages are one short line. Throws only std::bad_alloc.
HRESULT ReadOutlineTree(const std::string& path, OutlineTree* tree, std::string* message);

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_PDF_READ_OUTLINE_H_

#ifndef VELLOX_PDF_BUILTIN_READER_H_
#define VELLOX_PDF_BUILTIN_READER_H_

#include <string>

#include "pdf/outline_tree.h"

namespace vellox {
namespace pdf {

// How the built-in reader fared with a document.
enum class BuiltinOutcome {
  kRead,          // the outline is in the tree
  kCannotOpen,    // the file cannot be opened, or is no PDF: final
  kOverLimit,     // past a budget: a hostile or absurd file; final
  kNeedsRepair,   // damaged, encrypted or unsupported: the fallback may read it
};

// Reads the outline of the PDF at `path` (file-name bytes) with the
// built-in reader: only the objects the outline needs, by offset. On any
// outcome but kRead, `reason` says why in a few words; the tree is then
// to be discarded. Throws only std::bad_alloc.
BuiltinOutcome ReadWithBuiltinReader(const std::string& path, OutlineTree* tree,
                                     std::string* reason);

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_PDF_BUILTIN_READER_H_

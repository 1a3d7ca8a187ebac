#ifndef VELLOX_QPDF_READER_OUTLINE_READER_H_
#define VELLOX_QPDF_READER_OUTLINE_READER_H_

#include <string>

#include "base/status_or.h"
#include "outline/outline_tree.h"

namespace vellox {
namespace qpdf_reader {

// Reads the outline of the PDF at `path` (file-name bytes) through qpdf,
// repairing what can be repaired; a repaired file says so in the tree's
// repairNote. Fails with the system's reason when the file cannot be
// read, kInvalidData when it is no PDF, kDamaged when qpdf cannot read it
// (damaged beyond repair, a password, an unsupported feature), kOverLimit
// when a stream it decodes is past one of the built-in reader's budgets,
// or, in the module, when qpdf's memory is past its own
// (allocation_budget.h). Reasons are one short line. Throws only
// std::bad_alloc, when the system is out of memory.
StatusOr<OutlineTree> ReadWithQpdf(const std::string& path);

}  // namespace qpdf_reader
}  // namespace vellox

#endif  // VELLOX_QPDF_READER_OUTLINE_READER_H_

#ifndef VELLOX_BUILTIN_READER_BUILTIN_READER_H_
#define VELLOX_BUILTIN_READER_BUILTIN_READER_H_

#include <string>

#include "base/status_or.h"
#include "outline/outline_tree.h"

namespace vellox {
namespace pdf {

// Reads the outline of the PDF at `path` (file-name bytes) with the
// built-in reader: only the objects the outline needs, by offset. Fails
// with kNotFound or kIoError when the file cannot be read, kInvalidData
// when it is no PDF and kOverLimit past a budget, all final; with kDamaged
// when it is damaged, needs a password, is encrypted or uses what this
// reader does not support, which the fallback may read. Throws only std::bad_alloc.
StatusOr<OutlineTree> ReadWithBuiltinReader(const std::string& path);

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_BUILTIN_READER_BUILTIN_READER_H_

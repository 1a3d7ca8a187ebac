#ifndef VELLOX_QPDF_READER_MODULE_INTERFACE_H_
#define VELLOX_QPDF_READER_MODULE_INTERFACE_H_

#include <string>

#include "base/status_or.h"
#include "outline/outline_tree.h"

// What the qpdf reader module exports, for the program that loads it.
// Both sides are built together; the version check refuses a module left
// from another build, whose C++ types need not match.

#define VELLOX_QPDF_MODULE_NAME "vellox-qpdf"
#define VELLOX_QPDF_MODULE_VERSION_SYMBOL "VelloxQpdfModuleVersion"
#define VELLOX_QPDF_MODULE_READ_SYMBOL "VelloxQpdfReadOutline"

namespace vellox {
namespace qpdf_reader {

// The module's reader (ReadWithQpdf), as the read symbol hands it out.
using QpdfReadFunction = StatusOr<OutlineTree> (*)(const std::string& path);

}  // namespace qpdf_reader
}  // namespace vellox

#endif  // VELLOX_QPDF_READER_MODULE_INTERFACE_H_

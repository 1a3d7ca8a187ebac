#include "pdf/read_outline.h"

#include "qpdf_reader/outline_reader.h"

namespace vellox {
namespace pdf {

HRESULT ReadOutlineTree(const std::string& path, OutlineTree* tree, std::string* message) {
  return qpdf_reader::ReadOutlineTree(path, tree, message);
}

}  // namespace pdf
}  // namespace vellox

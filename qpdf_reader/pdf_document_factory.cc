#include "outline/pdf_component.h"

namespace vellox {

// The built-in reader is not there yet: no document can be opened.
HRESULT CreatePdfDocument(IPdfDocument** document) {
  *document = nullptr;
  return REGDB_E_CLASSNOTREG;
}

}  // namespace vellox

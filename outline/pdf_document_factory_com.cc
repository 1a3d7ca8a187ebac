#include "outline/pdf_component.h"

namespace vellox {

// The component registered with the platform's component library.
HRESULT CreatePdfDocument(IPdfDocument** document) {
  return platform::CreateComponent(CLSID_PdfDocumentComponent, IID_IPdfDocument,
                                   reinterpret_cast<void**>(document));
}

}  // namespace vellox

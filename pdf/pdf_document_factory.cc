#include <new>

#include "outline/pdf_component.h"
#include "pdf/pdf_document.h"

namespace vellox {

// The built-in reader stands in for the registered component.
HRESULT CreatePdfDocument(IPdfDocument** document) {
  if (document == nullptr) return E_POINTER;
  *document = nullptr;
  try {
    *document = new pdf::PdfDocument();
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

}  // namespace vellox

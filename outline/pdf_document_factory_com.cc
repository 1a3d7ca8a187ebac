#include <new>

#include "outline/component_reasons.h"
#include "outline/pdf_component.h"
#include "pdf/pdf_document.h"
#include "pdf/read_outline.h"

namespace vellox {
namespace {

// Leaves why the component could not be created for the walker's message.
void ExplainUnavailable(HRESULT status) {
  platform::SetComponentErrorText(DescribeUnavailableComponent(status));
}

}  // namespace

// The component registered with the platform's component library, where
// there is one; the built-in reader otherwise, so that the program works
// on any machine. Whatever keeps the component from being created (not
// registered, its server missing or broken) is no reason to fail a file
// that the built-in reader can read, and nothing is said about it then;
// asked for the component alone, the program says what keeps it away.
HRESULT CreatePdfDocument(IPdfDocument** document) {
  if (document == nullptr) return E_POINTER;
  *document = nullptr;
  const pdf::ReaderChoice choice = pdf::ChosenReader();
  if (choice != pdf::ReaderChoice::kBuiltinOnly) {
    const HRESULT status = platform::CreateComponent(
        CLSID_PdfDocumentComponent, IID_IPdfDocument, reinterpret_cast<void**>(document));
    if (SUCCEEDED(status)) return status;
    *document = nullptr;
    if (choice == pdf::ReaderChoice::kComponentOnly) {
      ExplainUnavailable(status);
      return status;
    }
  }
  try {
    *document = new pdf::PdfDocument();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

}  // namespace vellox

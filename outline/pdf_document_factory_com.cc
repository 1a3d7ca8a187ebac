#include <cstdlib>
#include <cstring>
#include <new>

#include "outline/pdf_component.h"
#include "pdf/pdf_document.h"

namespace vellox {
namespace {

// VELLOX_READER narrows the choice for tests: "component" asks the
// component library only, "builtin" never asks it.
enum class Source { kComponentFirst, kComponentOnly, kBuiltinOnly };

Source ChosenSource() {
  const char* choice = std::getenv("VELLOX_READER");
  if (choice == nullptr) return Source::kComponentFirst;
  if (std::strcmp(choice, "component") == 0) return Source::kComponentOnly;
  if (std::strcmp(choice, "builtin") == 0) return Source::kBuiltinOnly;
  return Source::kComponentFirst;
}

}  // namespace

// The component registered with the platform's component library, where
// there is one; the built-in reader otherwise, so that the program works
// on any machine. Whatever keeps the component from being created (not
// registered, its server missing or broken) is no reason to fail a file
// that the built-in reader can read.
HRESULT CreatePdfDocument(IPdfDocument** document) {
  if (document == nullptr) return E_POINTER;
  *document = nullptr;
  const Source source = ChosenSource();
  if (source != Source::kBuiltinOnly) {
    const HRESULT status = platform::CreateComponent(
        CLSID_PdfDocumentComponent, IID_IPdfDocument, reinterpret_cast<void**>(document));
    if (SUCCEEDED(status) || source == Source::kComponentOnly) return status;
    *document = nullptr;
  }
  try {
    *document = new pdf::PdfDocument();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

}  // namespace vellox

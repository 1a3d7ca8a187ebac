#include "component/registered_component.h"

#include <utility>

#include "component/com_reference.h"
#include "component/component_reasons.h"
#include "component/outline_walker.h"
#include "component/pdf_component.h"

namespace vellox {

StatusOr<OutlineTree> ReadWithRegisteredComponent(const std::string& path,
                                                  const OutlineOptions& options,
                                                  bool explainAbsence, bool* created) {
  ComReference<IPdfDocument> document;
  const HRESULT status = platform::CreateComponent(CLSID_PdfDocumentComponent, IID_IPdfDocument,
                                                   document.OutVoid());
  *created = SUCCEEDED(status);
  if (!*created) {
    return Status(CodeOfComponentResult(status), explainAbsence
                                                     ? DescribeUnavailableComponent(status)
                                                     : DescribeComponentStatus(status));
  }
  if (!document) return ComponentFailure(E_FAIL);
  return WalkComponentOutline(std::move(document), path, options);
}

}  // namespace vellox

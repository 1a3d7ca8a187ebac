#include "app/conversion_report.h"

#include <vector>

#include "app/print_message.h"
#include "app/user_messages.h"

namespace vellox {

Outcome ReportConversion(const std::string& pdf, const Conversion& conversion,
                         const std::function<void()>& beforePrinting) {
  const std::vector<std::string> warnings = OutlineWarnings(pdf, conversion.outline);
  if ((!warnings.empty() || !conversion.status.ok()) && beforePrinting) beforePrinting();
  for (const std::string& warning : warnings) PrintMessage(warning);
  if (!conversion.status.ok()) {
    PrintMessage(conversion.status.message());
    return Outcome::kFailed;
  }
  return conversion.outline.hasOutline ? Outcome::kConverted : Outcome::kWithoutOutline;
}

}  // namespace vellox

#ifndef VELLOX_APP_CONVERSION_REPORT_H_
#define VELLOX_APP_CONVERSION_REPORT_H_

#include <functional>
#include <string>

#include "app/convert_file.h"

namespace vellox {

// How a conversion ended, as a folder's summary counts it.
enum class Outcome { kConverted, kWithoutOutline, kFailed };

// Prints what converting `pdf` came to, for one file, a folder's file or
// --show alike: the warnings about its outline, then its failure; calls
// `beforePrinting` first when there is anything to print. Returns how the
// conversion ended.
Outcome ReportConversion(const std::string& pdf, const Conversion& conversion,
                         const std::function<void()>& beforePrinting = nullptr);

}  // namespace vellox

#endif  // VELLOX_APP_CONVERSION_REPORT_H_

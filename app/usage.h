#ifndef VELLOX_APP_USAGE_H_
#define VELLOX_APP_USAGE_H_

namespace vellox {

extern const char kVersion[];
extern const char kBanner[];  // the two lines printed after a conversion
extern const char kUsage[];   // for --help, and after a usage error

}  // namespace vellox

#endif  // VELLOX_APP_USAGE_H_

#ifndef VELLOX_APP_DEPTH_LIMIT_H_
#define VELLOX_APP_DEPTH_LIMIT_H_

#include <cstdint>
#include <string>

namespace vellox {

// The value of -ML read as atoi reads it (leading white space, a sign,
// digits up to the first other character; no digits give 0), except that
// a number beyond the 32-bit range is clamped to it.
std::int32_t ParseDepthLimit(const std::string& value);

}  // namespace vellox

#endif  // VELLOX_APP_DEPTH_LIMIT_H_

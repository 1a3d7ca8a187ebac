#include "app/depth_limit.h"

#include <limits>

namespace vellox {

std::int32_t ParseDepthLimit(const std::string& value) {
  std::size_t i = 0;
  while (i < value.size() && (value[i] == ' ' || (value[i] >= '\t' && value[i] <= '\r')))
    ++i;
  bool negative = false;
  if (i < value.size() && (value[i] == '+' || value[i] == '-'))
    negative = value[i++] == '-';
  const std::int64_t bound =
      negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
               : std::numeric_limits<std::int32_t>::max();
  std::int64_t magnitude = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (value[i] - '0');
    if (magnitude > bound) magnitude = bound;  // stays small: no overflow
  }
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace vellox

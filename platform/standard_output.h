#ifndef VELLOX_PLATFORM_STANDARD_OUTPUT_H_
#define VELLOX_PLATFORM_STANDARD_OUTPUT_H_

#include "base/status.h"

namespace vellox {
namespace platform {

// Writes out what standard output still buffers and says whether all that
// was printed there arrived: a full disk or a closed pipe is a failure.
// *readerGone says whether the failure came of a pipe whose reader left
// (`vellox --show book.pdf | head -1`).
Status FlushStandardOutput(bool* readerGone);

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_STANDARD_OUTPUT_H_

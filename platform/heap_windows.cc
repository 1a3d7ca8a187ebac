#include "platform/heap.h"

namespace vellox {
namespace platform {

// The Windows build reads no PDF itself (the component does), so there is
// no reader's heap to tune.
void TuneHeap(std::size_t) {}

}  // namespace platform
}  // namespace vellox

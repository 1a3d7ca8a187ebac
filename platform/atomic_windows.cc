#include "platform/atomic.h"

#include <windows.h>

namespace vellox {
namespace platform {

// The counter is handed to the Interlocked functions as a LONG, which the
// Windows data model keeps at 32 bits on 32- and 64-bit targets alike.
static_assert(sizeof(LONG) == sizeof(std::int32_t), "LONG must be 32-bit");

std::int32_t AtomicIncrement(volatile std::int32_t* value) {
  return InterlockedIncrement(reinterpret_cast<volatile LONG*>(value));
}

std::int32_t AtomicDecrement(volatile std::int32_t* value) {
  return InterlockedDecrement(reinterpret_cast<volatile LONG*>(value));
}

}  // namespace platform
}  // namespace vellox

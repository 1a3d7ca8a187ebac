#ifndef VELLOX_PLATFORM_ATOMIC_H_
#define VELLOX_PLATFORM_ATOMIC_H_

#include <cstdint>

namespace vellox {
namespace platform {

// Atomic increment and decrement of a reference count; each returns the
// value that the operation produced.
std::int32_t AtomicIncrement(volatile std::int32_t* value);
std::int32_t AtomicDecrement(volatile std::int32_t* value);

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_ATOMIC_H_

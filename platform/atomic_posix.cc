#include "platform/atomic.h"

namespace vellox {
namespace platform {

std::int32_t AtomicIncrement(volatile std::int32_t* value) {
  return __atomic_add_fetch(value, 1, __ATOMIC_ACQ_REL);
}

std::int32_t AtomicDecrement(volatile std::int32_t* value) {
  return __atomic_sub_fetch(value, 1, __ATOMIC_ACQ_REL);
}

}  // namespace platform
}  // namespace vellox

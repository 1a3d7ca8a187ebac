#include "bookmarks/ref_counted_object.h"

#include "platform/atomic.h"

namespace vellox {

std::int32_t RefCountedObject::AddRef() {
  return platform::AtomicIncrement(&referenceCount);
}

std::int32_t RefCountedObject::Release() {
  // Decide on the value the decrement produced, never on a second read.
  std::int32_t count = platform::AtomicDecrement(&referenceCount);
  if (count == 0) delete this;
  return count;
}

}  // namespace vellox

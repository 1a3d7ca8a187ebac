#include "bookmarks/ref_counted_object.h"

namespace vellox {

std::int32_t RefCountedObject::AddRef() {
  return referenceCount.fetch_add(1, std::memory_order_relaxed) + 1;
}

std::int32_t RefCountedObject::Release() {
  // Decide on the value the decrement produced, never on a second read.
  // The release makes this thread's writes visible to the thread that
  // destroys the object; the acquire makes others' visible to it.
  const std::int32_t count = referenceCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (count == 0) delete this;
  return count;
}

}  // namespace vellox

#ifndef VELLOX_BOOKMARKS_REF_COUNTED_OBJECT_H_
#define VELLOX_BOOKMARKS_REF_COUNTED_OBJECT_H_

#include <atomic>
#include <cstdint>

namespace vellox {

// Base of objects shared by reference count. A new object has count 1,
// owned by its creator; the Release that brings the count to 0 destroys it.
class RefCountedObject {
 public:
  RefCountedObject(const RefCountedObject&) = delete;
  RefCountedObject& operator=(const RefCountedObject&) = delete;

  // Each returns the count after the change; changes are atomic.
  virtual std::int32_t AddRef();
  virtual std::int32_t Release();

 protected:
  RefCountedObject() = default;
  virtual ~RefCountedObject() = default;  // through Release only

 private:
  std::atomic<std::int32_t> referenceCount{1};
};

// For std::unique_ptr: gives back the holder's reference, also while an
// exception unwinds.
struct ReleaseReference {
  void operator()(RefCountedObject* object) const { object->Release(); }
};

}  // namespace vellox

#endif  // VELLOX_BOOKMARKS_REF_COUNTED_OBJECT_H_

// The module's replacement of the global operator new and delete, every
// form of them, so that the memory of a read through qpdf keeps its
// budget (allocation_budget.h). The program links its own C++ runtime
// and exports no operator new, so when it loads the module, the shared
// C++ runtime and qpdf find these first, as the module's own code does.
// Blocks come from malloc and go back to free, whoever allocated them:
// a block the runtime allocated before the module was loaded is freed
// here as glibc's own operator delete would free it.

#include <malloc.h>
#include <stdlib.h>

#include <cstddef>
#include <new>

#include "qpdf_reader/allocation_budget.h"

namespace {

constexpr std::size_t kPlain = alignof(std::max_align_t);

using vellox::qpdf_reader::AllocationCounter;
using vellox::qpdf_reader::ThisThreadsAllocations;

// What a block costs: malloc's header besides what it can hold, which
// for qpdf's many small blocks is a good part of the heap.
std::size_t Cost(void* block) noexcept { return malloc_usable_size(block) + sizeof(std::size_t); }

// A block of `size` bytes aligned to `alignment`, or null: past the
// budget at once, the system out of memory once the new-handler (if any)
// can free no more.
void* Allocate(std::size_t size, std::size_t alignment) noexcept {
  if (size == 0) size = 1;
  AllocationCounter& counter = ThisThreadsAllocations();
  if (!counter.Admit(size)) return nullptr;
  for (;;) {
    void* block = nullptr;
    if (alignment <= alignof(std::max_align_t)) {
      block = malloc(size);
    } else if (posix_memalign(&block, alignment, size) != 0) {
      block = nullptr;
    }
    if (block != nullptr) {
      if (counter.active) counter.Charge(Cost(block));
      return block;
    }
    std::new_handler handler = std::get_new_handler();
    if (handler == nullptr) break;
    try {
      handler();
    } catch (...) {
      break;
    }
  }
  counter.Starve();
  return nullptr;
}

void* AllocateOrThrow(std::size_t size, std::size_t alignment) {
  void* block = Allocate(size, alignment);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void Free(void* block) noexcept {
  if (block == nullptr) return;
  AllocationCounter& counter = ThisThreadsAllocations();
  if (counter.active) counter.Release(Cost(block));
  free(block);
}


}  // namespace

#define VELLOX_EXPORTED __attribute__((visibility("default")))

VELLOX_EXPORTED void* operator new(std::size_t size) { return AllocateOrThrow(size, kPlain); }
VELLOX_EXPORTED void* operator new[](std::size_t size) { return AllocateOrThrow(size, kPlain); }
VELLOX_EXPORTED void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size, kPlain);
}
VELLOX_EXPORTED void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size, kPlain);
}
VELLOX_EXPORTED void* operator new(std::size_t size, std::align_val_t alignment) {
  return AllocateOrThrow(size, static_cast<std::size_t>(alignment));
}
VELLOX_EXPORTED void* operator new[](std::size_t size, std::align_val_t alignment) {
  return AllocateOrThrow(size, static_cast<std::size_t>(alignment));
}
VELLOX_EXPORTED void* operator new(std::size_t size, std::align_val_t alignment,
                                   const std::nothrow_t&) noexcept {
  return Allocate(size, static_cast<std::size_t>(alignment));
}
VELLOX_EXPORTED void* operator new[](std::size_t size, std::align_val_t alignment,
                                     const std::nothrow_t&) noexcept {
  return Allocate(size, static_cast<std::size_t>(alignment));
}

VELLOX_EXPORTED void operator delete(void* block) noexcept { Free(block); }
VELLOX_EXPORTED void operator delete[](void* block) noexcept { Free(block); }
VELLOX_EXPORTED void operator delete(void* block, std::size_t) noexcept { Free(block); }
VELLOX_EXPORTED void operator delete[](void* block, std::size_t) noexcept { Free(block); }
VELLOX_EXPORTED void operator delete(void* block, const std::nothrow_t&) noexcept { Free(block); }
VELLOX_EXPORTED void operator delete[](void* block, const std::nothrow_t&) noexcept {
  Free(block);
}
VELLOX_EXPORTED void operator delete(void* block, std::align_val_t) noexcept { Free(block); }
VELLOX_EXPORTED void operator delete[](void* block, std::align_val_t) noexcept { Free(block); }
VELLOX_EXPORTED void operator delete(void* block, std::size_t, std::align_val_t) noexcept {
  Free(block);
}
VELLOX_EXPORTED void operator delete[](void* block, std::size_t, std::align_val_t) noexcept {
  Free(block);
}
VELLOX_EXPORTED void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  Free(block);
}
VELLOX_EXPORTED void operator delete[](void* block, std::align_val_t,
                                       const std::nothrow_t&) noexcept {
  Free(block);
}

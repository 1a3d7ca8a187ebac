#include "platform/heap.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <mutex>

#if defined(__GLIBC__) && defined(__linux__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace vellox {
namespace platform {
namespace {

// glibc's ceiling for blocks served from the heap; larger ones it maps.
constexpr std::size_t kLargestHeapBlock = std::size_t{32} << 20;
// glibc's own M_TOP_PAD.
constexpr int kDefaultTopPad = 128 * 1024;

}  // namespace

void TuneHeap(std::size_t fileSize) {
#if defined(__GLIBC__) && defined(__linux__) && defined(MADV_HUGEPAGE)
  static std::once_flag once;
  std::call_once(once, [fileSize] {
    mallopt(M_MXFAST, 0);
    constexpr std::size_t kLargePage = std::size_t{2} << 20;
    // qpdf's objects take from a few to some thirty times the file's size,
    // the most for compressed object streams.
    constexpr std::size_t kMinimum = std::size_t{64} << 20;
    constexpr std::size_t kMaximum = std::size_t{1} << 30;
    const std::size_t reserve =
        fileSize >= kMaximum / 32 ? kMaximum : std::max(kMinimum, 32 * fileSize);
    // Blocks up to glibc's ceiling come from the heap too, and freed ones
    // stay there: a heap given back and grown again would lose the advice.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(kLargestHeapBlock));
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
    // A block larger than the heap's free top makes it grow now, by the
    // reserve; it is advised from the block on. Later growth is glibc's
    // usual, so that a limit on address space is met as before.
    constexpr std::size_t kProbe = std::size_t{1} << 20;
    mallopt(M_TOP_PAD, static_cast<int>(reserve));
    char* const before = static_cast<char*>(sbrk(0));
    char* const block = static_cast<char*>(std::malloc(kProbe));
    char* const after = static_cast<char*>(sbrk(0));
    mallopt(M_TOP_PAD, kDefaultTopPad);
    if (block != nullptr && after > before && block < after) {
      const auto start = (reinterpret_cast<std::uintptr_t>(block) + kLargePage - 1) &
                         ~std::uintptr_t{kLargePage - 1};
      const auto end = reinterpret_cast<std::uintptr_t>(after) & ~std::uintptr_t{kLargePage - 1};
      if (start < end) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
    }
    std::free(block);
  });
#else
  (void)fileSize;
#endif
}

}  // namespace platform
}  // namespace vellox

#ifndef VELLOX_PLATFORM_HEAP_H_
#define VELLOX_PLATFORM_HEAP_H_

#include <cstddef>

namespace vellox {
namespace platform {

// Sets the allocator (glibc's), once per process, for the way qpdf uses memory:
// a great many small objects, chased through by pointers while the
// document is read and all freed at its end.
//
// The heap is asked to be backed by 2 MiB pages where the system offers
// them on request (Linux's transparent huge pages in "madvise" mode,
// Debian's default): with 4 KiB pages each first touch costs a page fault
// and most look-ups a translation-buffer miss, both dear in a virtual
// machine. For that the heap grows at once by an amount sized from
// `fileSize` (64 MiB to 1 GiB of address space; memory only where
// touched), so that one advice covers it; where the address space is
// limited and that fails, this part changes nothing. Resident memory grows
// by at most a large page.
//
// Fast bins are turned off: freeing a large document's objects otherwise
// sweeps them again and again, at a cost that grows faster than the
// document.
//
// Does nothing but on Linux with glibc; a thread with a heap of its own
// gets the fast-bin setting only.
void TuneHeap(std::size_t fileSize);

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_HEAP_H_

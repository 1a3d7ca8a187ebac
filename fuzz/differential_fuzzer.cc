// The same bytes through both readers: wherever the built-in reader reads
// a file that qpdf reads cleanly, both must read the same outline (titles,
// pages, shape). A difference is a crash.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>

#include "fuzz_support.h"
#include "reader_agreement.h"

namespace {

// Both readers open a path: the input goes into an anonymous memory file,
// reached by its /proc name, so nothing is left behind on a crash.
int g_file = -1;
std::string g_path;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_file = memfd_create("vellox-differential-fuzz", MFD_CLOEXEC);
  if (g_file < 0) vellox::fuzz::Fail("memfd_create failed");
  g_path = "/proc/self/fd/" + std::to_string(g_file);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FUZZ_CHECK(ftruncate(g_file, 0) == 0, "ftruncate failed");
  for (std::size_t done = 0; done < size;) {
    ssize_t wrote = pwrite(g_file, data + done, size - done, static_cast<off_t>(done));
    FUZZ_CHECK(wrote > 0, "pwrite failed");
    done += static_cast<std::size_t>(wrote);
  }
  std::string difference;
  try {
    difference = vellox::testing::CompareReaders(g_path, nullptr, /*qpdfMustRead=*/false);
  } catch (const std::bad_alloc&) {
    return 0;  // the program reports this as "out of memory"; not a fault
  }
  FUZZ_CHECK(difference.empty(), "the readers disagree: " + difference);
  return 0;
}

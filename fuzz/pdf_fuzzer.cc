// A PDF's bytes through the built-in reader and the outline walker, as a
// run does it, then through the writer; the written file must decode back
// to exactly the entries the walk produced.
//
// Input: the first byte picks the depth limit (byte % 10 - 2: -2 admits
// no node, -1 is no limit, 0..7 cut the tree); the rest is the file.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>

#include "bookmarks/bookmark_list.h"
#include "fuzz_support.h"
#include "outline/outline_walker.h"
#include "platform/code_page.h"

namespace {

// The reader opens a path: the input goes into an anonymous memory file,
// reached by its /proc name, so nothing is left behind on a crash.
int g_file = -1;
std::string g_path;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("LC_ALL", "C", 1);
  vellox::platform::InitializeCodePage();
  g_file = memfd_create("vellox-pdf-fuzz", MFD_CLOEXEC);
  if (g_file < 0) vellox::fuzz::Fail("memfd_create failed");
  g_path = "/proc/self/fd/" + std::to_string(g_file);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::int32_t depthLimit = static_cast<std::int32_t>(data[0] % 10) - 2;
  FUZZ_CHECK(ftruncate(g_file, 0) == 0, "ftruncate failed");
  for (std::size_t done = 1; done < size;) {
    ssize_t wrote = pwrite(g_file, data + done, size - done, static_cast<off_t>(done - 1));
    FUZZ_CHECK(wrote > 0, "pwrite failed");
    done += static_cast<std::size_t>(wrote);
  }

  vellox::BookmarkList list;
  vellox::OutlineReport report;
  vellox::Status status = vellox::Status::OK();
  try {
    status = vellox::ReadOutline(g_path, &list, depthLimit, &report);
  } catch (const std::bad_alloc&) {
    return 0;  // the program reports this as "out of memory"; not a fault
  }
  if (!status.ok()) {
    FUZZ_CHECK(list.Entries().empty(), "a failed read appended entries");
    FUZZ_CHECK(status.message().find('\n') == std::string::npos,
               "a failure reason of more than one line: " + status.message());
    return 0;
  }
  FUZZ_CHECK(report.warning.find('\n') == std::string::npos,
             "a warning of more than one line: " + report.warning);
  if (depthLimit < -1) FUZZ_CHECK(list.Entries().empty(), "depth limit -2 admitted a node");
  if (!list.Entries().empty()) FUZZ_CHECK(report.hasOutline, "entries without an outline");
  vellox::fuzz::WriteAndVerify(&list);
  return 0;
}

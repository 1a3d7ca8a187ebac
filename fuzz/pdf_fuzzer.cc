// A PDF's bytes through the chosen reader (ours, qpdf for damage) and into
// bookmarks, as a run does it, then through the writer; the written file
// must decode back to exactly the entries the outline gave.
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
#include "outline/bookmarks_from_outline.h"
#include "platform/code_page.h"
#include "reader_agreement.h"
#include "reading/read_with_chosen_reader.h"

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

  vellox::OutlineOptions options;
  options.depthLimit = depthLimit;
  vellox::BookmarkList list;
  vellox::OutlineReport report;
  try {
    vellox::StatusOr<vellox::OutlineTree> tree = vellox::ReadWithChosenReader(
        g_path, options, vellox::testing::ReadersWithQpdfLinked());
    if (!tree.ok()) {
      FUZZ_CHECK(tree.status().message().find('\n') == std::string::npos,
                 "a failure reason of more than one line: " + tree.status().message());
      return 0;
    }
    report = vellox::AppendBookmarks(*tree, options, &list);
  } catch (const std::bad_alloc&) {
    return 0;  // the program reports this as "out of memory"; not a fault
  }
  FUZZ_CHECK(report.warning.find('\n') == std::string::npos,
             "a warning of more than one line: " + report.warning);
  if (depthLimit < -1) FUZZ_CHECK(list.Entries().empty(), "depth limit -2 admitted a node");
  if (!list.Entries().empty()) FUZZ_CHECK(report.hasOutline, "entries without an outline");
  vellox::fuzz::WriteAndVerify(&list);
  return 0;
}

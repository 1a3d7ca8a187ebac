#include "app/convert_folder.h"

#include <cstddef>
#include <new>
#include <vector>

#include "app/conversion_report.h"
#include "app/conversion_workers.h"
#include "app/convert_file.h"
#include "app/exit_code.h"
#include "app/find_pdfs.h"
#include "app/output_collisions.h"
#include "app/print_message.h"
#include "app/progress_line.h"
#include "app/user_messages.h"
#include "platform/files.h"

namespace vellox {
namespace {

// What the folder's summary line counts.
struct Tally {
  std::size_t converted = 0, withoutOutline = 0, failed = 0;

  void Count(Outcome outcome) {
    switch (outcome) {
      case Outcome::kConverted: ++converted; break;
      case Outcome::kWithoutOutline: ++withoutOutline; break;
      case Outcome::kFailed: ++failed; break;
    }
  }
};

}  // namespace

int ConvertFolder(const std::string& directory, const OutlineOptions& options,
                  unsigned jobs) {
  ProgressLine progress;
  std::vector<std::string> listingErrors;
  const std::vector<std::string> pdfs =
      FindPdfs(directory, &listingErrors, [&](std::size_t found, const std::string& folder) {
        progress.Listing(found, folder);
      });
  if (!listingErrors.empty()) progress.Clear();
  for (const std::string& error : listingErrors) PrintMessage(error);

  // Two PDFs with one bookmark file: only the first is converted, so that
  // neither silently replaces the other's.
  const std::vector<std::string> collisions = FindOutputCollisions(pdfs);
  Tally tally;
  ConvertInOrder(
      pdfs.size(), jobs,
      [&](std::size_t index) {
        Conversion conversion;
        try {
          if (!collisions[index].empty()) {
            conversion.status = SharesBookmarkFile(pdfs[index], collisions[index]);
          } else {
            conversion = ConvertFile(pdfs[index], options, platform::Sync::kLater);
          }
        } catch (const std::bad_alloc&) {
          conversion = Conversion();
          conversion.status = OutOfMemory(pdfs[index]);
        }
        return conversion;
      },
      [&](std::size_t done, std::size_t index) {
        progress.Converting(done, pdfs.size(), pdfs[index]);
      },
      [&](std::size_t index, const Conversion& conversion) {
        tally.Count(ReportConversion(pdfs[index], conversion, [&] { progress.Clear(); }));
      });
  progress.Clear();

  // One flush for the whole folder rather than one per file.
  Status synced = Status::OK();
  if (tally.converted + tally.withoutOutline > 0) synced = platform::SyncFileSystem(directory);
  if (!synced.ok()) PrintMessage(CannotSyncFolder(directory, synced).message());

  PrintMessage(FolderSummary(pdfs.size(), tally.converted, tally.withoutOutline, tally.failed));
  return tally.failed == 0 && listingErrors.empty() && synced.ok() ? kExitSuccess : kExitFailure;
}

}  // namespace vellox

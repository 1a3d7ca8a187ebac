#include "app/convert_folder.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "app/component_library_scope.h"
#include "app/convert_file.h"
#include "app/message.h"
#include "app/output_collisions.h"
#include "app/output_path.h"
#include "app/run.h"
#include "app/user_messages.h"
#include "platform/console.h"
#include "platform/directory.h"
#include "platform/files.h"

namespace vellox {
namespace {

// One updating line on a terminal; nothing elsewhere. While the folder is
// listed it counts the PDFs found so far, as the total is not known yet;
// then the PDFs converted of all those found.
class Progress {
 public:
  Progress() : line(stderr) {}

  // Listing a folder shows at once, then at most every tenth of a second:
  // a tree of many small folders would spend its time redrawing.
  void Listing(std::size_t found, const std::string& folder) {
    if (!line.enabled()) return;
    const auto now = std::chrono::steady_clock::now();
    if (listed && now - lastListing < std::chrono::milliseconds(100)) return;
    listed = true;
    lastListing = now;
    line.Show("[" + std::to_string(found) + " found so far] " + EscapeControls(folder));
  }
  void Converting(std::size_t done, std::size_t total, const std::string& path) {
    if (!line.enabled()) return;
    line.Show("[" + std::to_string(done) + "/" + std::to_string(total) + "] " +
              EscapeControls(path));
  }
  void Clear() { line.Clear(); }

 private:
  platform::TerminalLine line;
  bool listed = false;
  std::chrono::steady_clock::time_point lastListing;
};

}  // namespace

std::vector<std::string> FindPdfs(const std::string& directory,
                                  std::vector<std::string>* errors,
                                  const ListingObserver& listing) {
  std::vector<std::string> pdfs;
  std::vector<std::string> pending = {directory};
  std::vector<platform::DirectoryEntry> entries;
  while (!pending.empty()) {
    std::string current = pending.back();
    pending.pop_back();
    if (listing) listing(pdfs.size(), current);
    Status status = platform::ListDirectory(current, &entries);
    if (!status.ok()) {
      errors->push_back(CannotRead(current, status).message());
      continue;
    }
    for (const platform::DirectoryEntry& entry : entries) {
      std::string path = platform::JoinPath(current, entry.name);
      if (entry.kind == platform::FileKind::kDirectory) {
        pending.push_back(path);
      } else if (entry.kind == platform::FileKind::kRegular && HasExtension(entry.name, ".pdf")) {
        pdfs.push_back(path);
      }
    }
  }
  std::sort(pdfs.begin(), pdfs.end());
  std::sort(errors->begin(), errors->end());
  return pdfs;
}

int ConvertFolder(const std::string& directory, const OutlineOptions& options,
                  unsigned jobs) {
  Progress progress;
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

  // Workers take the next PDF in turn; the main thread reports results in
  // path order as soon as every earlier one is in.
  std::vector<Conversion> results(pdfs.size());
  std::vector<bool> finished(pdfs.size(), false);
  std::size_t next = 0, finishedCount = 0;
  std::mutex mutex;
  std::condition_variable changed;

  auto work = [&] {
    ComponentLibraryScope library;
    for (;;) {
      std::size_t index;
      {
        std::lock_guard<std::mutex> lock(mutex);
        if (next == pdfs.size()) break;
        index = next++;
      }
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
      std::lock_guard<std::mutex> lock(mutex);
      results[index] = std::move(conversion);
      finished[index] = true;
      ++finishedCount;
      changed.notify_one();
    }
  };
  std::vector<std::thread> workers;
  unsigned threads = static_cast<unsigned>(std::min<std::size_t>(std::max(jobs, 1u), pdfs.size()));
  workers.reserve(threads);
  for (unsigned i = 0; i < threads; ++i) {
    // The system may refuse a thread (a process limit, no memory for its
    // stack): the run goes on with those it has.
    try {
      workers.emplace_back(work);
    } catch (const std::system_error&) {
      break;
    } catch (const std::bad_alloc&) {
      break;
    }
  }
  if (workers.empty()) work();  // none at all: this thread converts them all

  std::size_t converted = 0, withoutOutline = 0, failed = 0;
  for (std::size_t reported = 0; reported < pdfs.size(); ++reported) {
    Conversion conversion;
    {
      std::unique_lock<std::mutex> lock(mutex);
      // Shown while the next PDF to report is still being converted.
      changed.wait(lock, [&] {
        if (!finished[reported]) progress.Converting(finishedCount, pdfs.size(), pdfs[reported]);
        return finished[reported];
      });
      conversion = std::move(results[reported]);
    }
    const std::vector<std::string> warnings = OutlineWarnings(pdfs[reported], conversion.outline);
    if (!warnings.empty() || !conversion.status.ok()) progress.Clear();
    for (const std::string& warning : warnings) PrintMessage(warning);
    if (!conversion.status.ok()) {
      PrintMessage(conversion.status.message());
      ++failed;
    } else if (conversion.outline.hasOutline) {
      ++converted;
    } else {
      ++withoutOutline;
    }
  }
  for (std::thread& worker : workers) worker.join();
  progress.Clear();

  // One flush for the whole folder rather than one per file.
  Status synced = Status::OK();
  if (converted + withoutOutline > 0) synced = platform::SyncFileSystem(directory);
  if (!synced.ok()) PrintMessage(CannotSyncFolder(directory, synced).message());

  PrintMessage(FolderSummary(pdfs.size(), converted, withoutOutline, failed));
  return failed == 0 && listingErrors.empty() && synced.ok() ? kExitSuccess : kExitFailure;
}

}  // namespace vellox

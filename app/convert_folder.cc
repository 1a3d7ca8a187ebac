#include "app/convert_folder.h"

#include <algorithm>
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
#include "platform/directory.h"
#include "platform/files.h"

namespace vellox {
namespace {

// One updating line on a terminal; nothing elsewhere.
class Progress {
 public:
  explicit Progress(std::size_t total)
      : total(total), enabled(platform::IsTerminal(stderr)) {}

  void Show(std::size_t done, const std::string& path) {
    if (!enabled) return;
    std::string line = "[" + std::to_string(done) + "/" + std::to_string(total) + "] " +
                       EscapeControls(path);
    Write(line);
  }
  void Clear() {
    if (enabled && shown > 0) Write("");
    if (enabled) std::fputs("\r", stderr);
  }

 private:
  void Write(const std::string& line) {
    std::string padded = line;
    if (padded.size() < shown) padded.append(shown - padded.size(), ' ');
    std::fprintf(stderr, "\r%s", padded.c_str());
    std::fflush(stderr);
    shown = line.size();
  }

  std::size_t total;
  bool enabled;
  std::size_t shown = 0;
};

}  // namespace

std::vector<std::string> FindPdfs(const std::string& directory,
                                  std::vector<std::string>* errors) {
  std::vector<std::string> pdfs;
  std::vector<std::string> pending = {directory};
  std::vector<platform::DirectoryEntry> entries;
  while (!pending.empty()) {
    std::string current = pending.back();
    pending.pop_back();
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
  std::vector<std::string> listingErrors;
  const std::vector<std::string> pdfs = FindPdfs(directory, &listingErrors);
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

  Progress progress(pdfs.size());
  std::size_t converted = 0, withoutOutline = 0, failed = 0;
  for (std::size_t reported = 0; reported < pdfs.size(); ++reported) {
    Conversion conversion;
    {
      std::unique_lock<std::mutex> lock(mutex);
      changed.wait(lock, [&] {
        progress.Show(finishedCount, pdfs[std::min(reported, pdfs.size() - 1)]);
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

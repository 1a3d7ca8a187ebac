#include "app/conversion_workers.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "platform/component_library.h"

namespace vellox {

void ConvertInOrder(std::size_t count, unsigned jobs,
                    const std::function<Conversion(std::size_t index)>& convert,
                    const std::function<void(std::size_t done, std::size_t index)>& waiting,
                    const std::function<void(std::size_t index, const Conversion&)>& report) {
  std::vector<Conversion> results(count);
  std::vector<bool> finished(count, false);
  std::size_t next = 0, finishedCount = 0;
  std::mutex mutex;
  std::condition_variable changed;

  auto work = [&] {
    platform::ComponentLibraryScope library;
    for (;;) {
      std::size_t index;
      {
        std::lock_guard<std::mutex> lock(mutex);
        if (next == count) break;
        index = next++;
      }
      Conversion conversion = convert(index);
      std::lock_guard<std::mutex> lock(mutex);
      results[index] = std::move(conversion);
      finished[index] = true;
      ++finishedCount;
      changed.notify_one();
    }
  };
  std::vector<std::thread> workers;
  unsigned threads = static_cast<unsigned>(std::min<std::size_t>(std::max(jobs, 1u), count));
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

  for (std::size_t reported = 0; reported < count; ++reported) {
    Conversion conversion;
    {
      std::unique_lock<std::mutex> lock(mutex);
      // Told while the next conversion to report is still going on.
      changed.wait(lock, [&] {
        if (!finished[reported]) waiting(finishedCount, reported);
        return finished[reported];
      });
      conversion = std::move(results[reported]);
    }
    report(reported, conversion);
  }
  for (std::thread& worker : workers) worker.join();
}

}  // namespace vellox

#include "platform/interrupts.h"

#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>

namespace vellox {
namespace platform {
namespace {

// One slot per thread that may be writing (-j allows 1024), each with room
// for the longest path the system opens. The handler may only read fixed
// memory, so the table is fixed; its untouched pages cost nothing.
constexpr int kSlots = 1024;
constexpr std::size_t kPathBytes = 4096;

enum SlotState : int { kFree, kFilling, kLive };

// No initialisers: the table is then zero-filled static storage (every
// slot kFree) that no constructor walks, so its pages stay untouched.
struct Slot {
  std::atomic<int> state;
  char path[kPathBytes];
};
static_assert(std::atomic<int>::is_always_lock_free, "the handler reads slot states");

Slot slots[kSlots];
// Serialises tracking and forgetting (never the handler), so that a path
// is compared only while no thread rewrites it.
std::mutex slotsMutex;

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

// Threads between creating a temporary file and listing it; once an
// interrupt has come, none starts anew without the handler waiting for it.
std::atomic<int> creating{0};
std::atomic<bool> ending{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the handler sets it");
// How long the handler waits for those threads: far more than the few
// system calls a creation takes, and still no hang if one is stopped.
constexpr long kMostWaitingSpins = 200000000;
// Threads rewriting a file in place, waited for without a limit: the
// rewrite takes no lock, so it ends, and cut short it would leave a file
// that is neither the old one nor the new.
std::atomic<int> rewriting{0};

extern "C" void RemoveAndEnd(int signal) {
  ending.store(true);
  for (long spin = 0; creating.load() != 0 && spin < kMostWaitingSpins; ++spin) {
  }
  while (rewriting.load() != 0) {
    const struct timespec millisecond = {0, 1000000};
    nanosleep(&millisecond, nullptr);
  }
  for (Slot& slot : slots)
    if (slot.state.load() == kLive) unlink(slot.path);
  // The action is back at the default (SA_RESETHAND) and the signal is not
  // blocked in here (SA_NODEFER): raising it ends the process as it would
  // have ended without this handler, so the parent sees the signal.
  raise(signal);
}

// Counts the calling thread into a bracket the handler waits for, unless
// an interrupt is ending the program already.
bool Enter(std::atomic<int>* bracket) {
  bracket->fetch_add(1);
  // Seen unset: the handler, setting it later, waits for this bracket.
  if (!ending.load()) return true;
  bracket->fetch_sub(1);
  return false;
}

}  // namespace

void RemoveTemporaryFilesOnInterrupt() {
  for (int signal : kInterrupts) {
    struct sigaction current;
    if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = RemoveAndEnd;
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    // Another interrupt waits until this one has removed the files.
    sigemptyset(&action.sa_mask);
    for (int other : kInterrupts)
      if (other != signal) sigaddset(&action.sa_mask, other);
    sigaction(signal, &action, nullptr);
  }
}

void TurnWriteSignalsIntoErrors() {
  for (int signal : {SIGXFSZ, SIGPIPE}) {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
  }
}

bool TrackTemporaryFile(const std::string& path) {
  if (path.size() >= kPathBytes) return false;
  std::lock_guard<std::mutex> lock(slotsMutex);
  for (Slot& slot : slots) {
    if (slot.state.load() != kFree) continue;
    slot.state.store(kFilling);
    std::memcpy(slot.path, path.c_str(), path.size() + 1);
    slot.state.store(kLive);
    return true;
  }
  return false;
}

bool BeginCreatingTemporaryFile() { return Enter(&creating); }
void EndCreatingTemporaryFile() { creating.fetch_sub(1); }

bool BeginRewritingInPlace() { return Enter(&rewriting); }
void EndRewritingInPlace() { rewriting.fetch_sub(1); }

void ForgetTemporaryFile(const std::string& path) {
  std::lock_guard<std::mutex> lock(slotsMutex);
  for (Slot& slot : slots) {
    if (slot.state.load() == kLive && path == slot.path) {
      slot.state.store(kFree);
      return;
    }
  }
}

}  // namespace platform
}  // namespace vellox

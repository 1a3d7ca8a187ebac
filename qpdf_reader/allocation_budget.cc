#include "qpdf_reader/allocation_budget.h"

#include "pdf/budgets.h"

namespace vellox {
namespace qpdf_reader {
namespace {

struct Counting {
  bool active;
  bool exceeded;
  std::uint64_t live;     // bytes handed out in the scope and not yet back
  std::uint64_t ceiling;  // the limit, and once exceeded the reserve above it
};

// Constant-initialized: the first use on a thread runs no constructor,
// which operator new could not wait for.
thread_local Counting t_counting = {false, false, 0, 0};

}  // namespace

AllocationBudget::AllocationBudget(std::uint64_t limit) : limit_(limit) {
  t_counting = Counting{true, false, 0, limit};
}

AllocationBudget::~AllocationBudget() { t_counting = Counting{false, false, 0, 0}; }

bool AllocationBudget::exceeded() const { return AllocationBudgetExceeded(); }

bool AdmitAllocation(std::size_t bytes) noexcept {
  Counting& c = t_counting;
  if (!c.active || (bytes <= c.ceiling && c.live <= c.ceiling - bytes)) return true;
  if (!c.exceeded) {
    c.exceeded = true;
    c.ceiling += pdf::kRepairMemoryReserve;
  }
  return false;
}

bool CountingAllocations() noexcept { return t_counting.active; }

bool AllocationBudgetExceeded() noexcept { return t_counting.exceeded; }

void ChargeAllocation(std::size_t bytes) noexcept { t_counting.live += bytes; }

void ReleaseAllocation(std::size_t bytes) noexcept {
  // A block from before the scope, freed in it, was never charged.
  Counting& c = t_counting;
  c.live = bytes < c.live ? c.live - bytes : 0;
}

}  // namespace qpdf_reader
}  // namespace vellox

#include "qpdf_reader/allocation_budget.h"

#include "pdf/budgets.h"

namespace vellox {
namespace qpdf_reader {
namespace {

// Constant-initialized: the first use on a thread runs no constructor,
// which operator new could not wait for.
thread_local AllocationCounter t_counter = {false, false, false, 0, 0};

}  // namespace

AllocationBudget::AllocationBudget(std::uint64_t limit) : limit_(limit) {
  t_counter = AllocationCounter{true, false, false, 0, limit};
}

AllocationBudget::~AllocationBudget() { t_counter = AllocationCounter{false, false, false, 0, 0}; }

bool AllocationBudget::exceeded() const { return t_counter.exceeded; }

bool AllocationBudget::starved() const { return t_counter.starved; }

void AllocationCounter::Exceed() noexcept {
  if (exceeded) return;
  exceeded = true;
  ceiling += pdf::kRepairMemoryReserve;
}

AllocationCounter& ThisThreadsAllocations() noexcept { return t_counter; }

}  // namespace qpdf_reader
}  // namespace vellox

#ifndef VELLOX_QPDF_READER_ALLOCATION_BUDGET_H_
#define VELLOX_QPDF_READER_ALLOCATION_BUDGET_H_

#include <cstddef>
#include <cstdint>

namespace vellox {
namespace qpdf_reader {

// The memory one read through qpdf may hold: qpdf's objects, maps and
// strings are sized by the file, and qpdf caps none of them. The module's
// operator new (module_allocator.cc) asks Admit() before every block and
// tells Charge()/Release() what it handed out and took back, on the thread
// that reads; past the budget it throws std::bad_alloc. qpdf catches some
// of those and goes on, so a budget once exceeded stays so: the read is
// refused whatever qpdf made of it, reading the file stops (budgeted_input),
// and the blocks qpdf still asks for, to warn or unwind, get a small
// reserve above the limit, past which every one is refused.
//
// Counting happens only in the module: code that links the reader itself
// (tests, fuzzers) keeps the global operator new, and its budgets are
// never exceeded.
class AllocationBudget {
 public:
  // Counts on this thread, from now to the end of the scope, the bytes
  // live beyond those live now. Scopes do not nest.
  explicit AllocationBudget(std::uint64_t limit);
  ~AllocationBudget();
  AllocationBudget(const AllocationBudget&) = delete;
  AllocationBudget& operator=(const AllocationBudget&) = delete;

  // Whether an allocation was refused for the budget.
  bool exceeded() const;
  std::uint64_t limit() const { return limit_; }

 private:
  std::uint64_t limit_;
};

// For the module's operator new, on the thread that allocates. Admit()
// tells whether `bytes` more fit the budget (always where no budget is
// counting); a refusal marks the budget exceeded.
bool AdmitAllocation(std::size_t bytes) noexcept;
// Whether blocks are being counted on this thread: Charge() and Release()
// need the block's size only then.
bool CountingAllocations() noexcept;
// Whether this thread's budget has been exceeded.
bool AllocationBudgetExceeded() noexcept;
void ChargeAllocation(std::size_t bytes) noexcept;
void ReleaseAllocation(std::size_t bytes) noexcept;

}  // namespace qpdf_reader
}  // namespace vellox

#endif  // VELLOX_QPDF_READER_ALLOCATION_BUDGET_H_

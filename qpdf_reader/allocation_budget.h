#ifndef VELLOX_QPDF_READER_ALLOCATION_BUDGET_H_
#define VELLOX_QPDF_READER_ALLOCATION_BUDGET_H_

#include <cstddef>
#include <cstdint>

namespace vellox {
namespace qpdf_reader {

// The memory one read through qpdf may hold: qpdf's objects, maps and
// strings are sized by the file, and qpdf caps none of them. The module's
// operator new (module_allocator.cc) asks this thread's counter before
// every block and tells it what it handed out and took back; past the
// budget it throws std::bad_alloc. qpdf catches some of those and goes
// on, so a budget once exceeded stays so: the read is refused whatever
// qpdf made of it, reading the file stops (budgeted_input), and the
// blocks qpdf still asks for, to warn or unwind, get a small reserve
// above the limit, past which every one is refused. The system running
// out of memory is told apart from the budget the same way.
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
  // Whether the system refused one: qpdf may have caught the failure
  // and read on without what it could not hold.
  bool starved() const;
  std::uint64_t limit() const { return limit_; }

 private:
  std::uint64_t limit_;
};

// One thread's count, for the module's operator new: found once per
// block, as finding it is a good part of the cost of counting.
struct AllocationCounter {
  bool active;            // a budget is counting on this thread
  bool exceeded;          // an allocation was refused
  bool starved;           // the system had no memory for one
  std::uint64_t live;     // bytes handed out in the scope and not yet back
  std::uint64_t ceiling;  // the limit, and once exceeded the reserve above it

  // Whether `bytes` more fit the budget (always where none counts); a
  // refusal marks it exceeded.
  bool Admit(std::size_t bytes) noexcept {
    if (!active || (bytes <= ceiling && live <= ceiling - bytes)) return true;
    Exceed();
    return false;
  }
  void Charge(std::size_t bytes) noexcept { live += bytes; }
  void Starve() noexcept { starved = active; }
  // Whether qpdf should stop: it cannot have read the file whole.
  bool failed() const noexcept { return exceeded || starved; }
  // A block from before the scope, freed in it, was never charged.
  void Release(std::size_t bytes) noexcept { live = bytes < live ? live - bytes : 0; }

 private:
  void Exceed() noexcept;
};

AllocationCounter& ThisThreadsAllocations() noexcept;

}  // namespace qpdf_reader
}  // namespace vellox

#endif  // VELLOX_QPDF_READER_ALLOCATION_BUDGET_H_

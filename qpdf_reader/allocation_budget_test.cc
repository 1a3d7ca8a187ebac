#include "qpdf_reader/allocation_budget.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <limits>
#include <thread>
#include <vector>

#include "pdf/budgets.h"

namespace vellox {
namespace qpdf_reader {
namespace {

constexpr std::size_t kHuge = std::numeric_limits<std::size_t>::max();

// One step of the module's operator new or delete: a block asked for
// (and charged when admitted), or one given back.
struct Step {
  enum Kind { kAsk, kFree } kind;
  std::size_t bytes;
  bool admitted;  // for kAsk
};

// What the counter admits, and when the budget counts as exceeded: a
// refusal is final, and leaves only the reserve for unwinding.
TEST(AllocationBudgetTest, AdmitsUpToTheLimitThenOnlyTheReserve) {
  const std::size_t reserve = pdf::kRepairMemoryReserve;
  const struct {
    const char* name;
    std::size_t limit;
    std::vector<Step> steps;
    bool exceeded;
  } cases[] = {
      {"to the limit exactly", 100, {{Step::kAsk, 60, true}, {Step::kAsk, 40, true}}, false},
      {"one byte past", 100, {{Step::kAsk, 60, true}, {Step::kAsk, 41, false}}, true},
      {"what is freed is room again", 100,
       {{Step::kAsk, 90, true}, {Step::kFree, 90, false}, {Step::kAsk, 100, true}}, false},
      {"a size that would wrap around", 100, {{Step::kAsk, kHuge, false}}, true},
      {"once past, the reserve and no more", 100,
       {{Step::kAsk, 101, false},
        {Step::kAsk, 100 + reserve, true},
        {Step::kAsk, 1, false},
        {Step::kFree, 100 + reserve, false},
        {Step::kAsk, 100 + reserve, true}},
       true},
      {"blocks from before the scope, freed in it", 100,
       {{Step::kFree, 1000, false}, {Step::kAsk, 100, true}, {Step::kAsk, 1, false}}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AllocationBudget budget(c.limit);
    AllocationCounter& counter = ThisThreadsAllocations();
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      const Step& step = c.steps[i];
      if (step.kind == Step::kFree) {
        counter.Release(step.bytes);
        continue;
      }
      const bool admitted = counter.Admit(step.bytes);
      EXPECT_EQ(admitted, step.admitted) << "step " << i;
      if (admitted) counter.Charge(step.bytes);
    }
    EXPECT_EQ(budget.exceeded(), c.exceeded);
  }
}

// Outside a scope nothing is refused, and each thread counts its own:
// a read refused on one thread leaves another's budget whole.
TEST(AllocationBudgetTest, CountsPerThreadAndOnlyInAScope) {
  EXPECT_TRUE(ThisThreadsAllocations().Admit(kHuge));
  AllocationBudget budget(100);
  bool otherAdmitted = false;
  bool otherExceeded = true;
  std::thread other([&] {
    EXPECT_TRUE(ThisThreadsAllocations().Admit(kHuge));  // no scope there
    AllocationBudget own(1000);
    otherAdmitted = ThisThreadsAllocations().Admit(500);
    otherExceeded = own.exceeded();
  });
  EXPECT_FALSE(ThisThreadsAllocations().Admit(200));
  other.join();
  EXPECT_TRUE(budget.exceeded());
  EXPECT_TRUE(otherAdmitted);
  EXPECT_FALSE(otherExceeded);
}

}  // namespace
}  // namespace qpdf_reader
}  // namespace vellox

#include "bookmarks/ref_counted_object.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace vellox {
namespace {

// Counts its destructions in `*destroyed`.
class Counted : public RefCountedObject {
 public:
  explicit Counted(int* destroyed) : destroyed(destroyed) {}

 private:
  ~Counted() override { ++*destroyed; }
  int* destroyed;
};

TEST(RefCountedObjectTest, EachChangeReturnsTheCountItMadeAndTheLastReleaseDestroys) {
  int destroyed = 0;
  Counted* object = new Counted(&destroyed);
  EXPECT_EQ(object->AddRef(), 2);
  EXPECT_EQ(object->AddRef(), 3);
  EXPECT_EQ(object->Release(), 2);
  EXPECT_EQ(object->Release(), 1);
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(object->Release(), 0);
  EXPECT_EQ(destroyed, 1);
}

// Threads that take and give back references at once lose no change: the
// object outlives them all and goes exactly once, with the creator's
// reference.
TEST(RefCountedObjectTest, ConcurrentChangesAreNeverLost) {
  int destroyed = 0;
  Counted* object = new Counted(&destroyed);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([object] {
      for (int i = 0; i < 100000; ++i) {
        object->AddRef();
        object->AddRef();
        object->Release();
        object->Release();
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(object->Release(), 0);
  EXPECT_EQ(destroyed, 1);
}

}  // namespace
}  // namespace vellox

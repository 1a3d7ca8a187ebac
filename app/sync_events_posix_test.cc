#include "app/sync_events.h"

#include <gtest/gtest.h>
#include <semaphore.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "semaphore_value.h"
#include "test_util.h"

namespace vellox {
namespace {

using testing::SemaphoreValue;

// The names are shared by every run on the machine: each case starts with
// none of them there.
void RemoveEvents() {
  for (const char* name : SyncEvents::kNames) sem_unlink((std::string("/") + name).c_str());
}

TEST(SyncEventsTest, AreSignalledForTheirLifetime) {
  RemoveEvents();
  {
    SyncEvents events;
    EXPECT_EQ(events.Warnings(), std::vector<std::string>{});
    for (const char* name : SyncEvents::kNames) EXPECT_EQ(SemaphoreValue(name), 1) << name;
  }
  for (const char* name : SyncEvents::kNames) EXPECT_EQ(SemaphoreValue(name), -1) << name;
}

// A file planted under one event's name costs that event only: a warning
// for the run to print, the other two still signalled, the file left as
// it was.
TEST(SyncEventsTest, ARefusedEventIsLeftOutWithAWarning) {
  RemoveEvents();
  const char* refused = SyncEvents::kNames[1];
  const std::string planted = std::string("/dev/shm/sem.") + refused;
  testing::WriteFile(planted, "");
  {
    SyncEvents events;
    EXPECT_EQ(events.Warnings(),
              std::vector<std::string>{std::string("ignoring the named event '") + refused +
                                       "': '" + planted + "' is not a semaphore"});
    EXPECT_EQ(SemaphoreValue(SyncEvents::kNames[0]), 1);
    EXPECT_EQ(SemaphoreValue(SyncEvents::kNames[2]), 1);
  }
  EXPECT_TRUE(testing::FileExists(planted)) << "not ours to remove";
  EXPECT_EQ(testing::ReadFile(planted), "");
  EXPECT_EQ(SemaphoreValue(SyncEvents::kNames[0]), -1);
  EXPECT_EQ(SemaphoreValue(SyncEvents::kNames[2]), -1);
  unlink(planted.c_str());
}

}  // namespace
}  // namespace vellox

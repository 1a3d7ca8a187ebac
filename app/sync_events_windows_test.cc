#include "app/sync_events.h"

#include <gtest/gtest.h>

#include "event_state.h"

namespace vellox {
namespace {

using testing::EventState;
using testing::StateOfEvent;

TEST(SyncEventsTest, AreSignalledForTheirLifetime) {
  {
    SyncEvents events;
    for (const char* name : SyncEvents::kNames)
      EXPECT_EQ(StateOfEvent(name), EventState::kSet) << name;
  }
  for (const char* name : SyncEvents::kNames)
    EXPECT_EQ(StateOfEvent(name), EventState::kMissing) << name;
}

}  // namespace
}  // namespace vellox

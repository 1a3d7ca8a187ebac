#include "app/sync_events.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace vellox {
namespace {

// Whether the event `name` is there, as another party sees it: opened by
// name, and signalled.
enum class Seen { kMissing, kSet, kReset };

Seen StateOf(const char* name) {
  HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, name);
  if (event == nullptr) return Seen::kMissing;
  DWORD wait = WaitForSingleObject(event, 0);
  CloseHandle(event);
  return wait == WAIT_OBJECT_0 ? Seen::kSet : Seen::kReset;
}

TEST(SyncEventsTest, AreSignalledForTheirLifetime) {
  {
    SyncEvents events;
    for (const char* name : SyncEvents::kNames) EXPECT_EQ(StateOf(name), Seen::kSet) << name;
  }
  for (const char* name : SyncEvents::kNames) EXPECT_EQ(StateOf(name), Seen::kMissing) << name;
}

}  // namespace
}  // namespace vellox

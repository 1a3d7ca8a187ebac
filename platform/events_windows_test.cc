#include "platform/events.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace vellox {
namespace platform {
namespace {

// The state of the event `name` as another party sees it: opened by name.
enum class Seen { kMissing, kSet, kReset };

Seen StateOf(const char* name) {
  HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, name);
  if (event == nullptr) return Seen::kMissing;
  DWORD wait = WaitForSingleObject(event, 0);
  CloseHandle(event);
  return wait == WAIT_OBJECT_0 ? Seen::kSet : Seen::kReset;
}

TEST(EventsTest, NamedManualResetEventStartsReset) {
  const char* name = "VelloxTestEvent";
  EventHandle event = CreateNamedEvent(name);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(StateOf(name), Seen::kReset);
  SetNamedEvent(event);
  EXPECT_EQ(StateOf(name), Seen::kSet);
  EXPECT_EQ(StateOf(name), Seen::kSet);  // a wait does not reset it
  ResetNamedEvent(event);
  EXPECT_EQ(StateOf(name), Seen::kReset);
  CloseNamedEvent(event);
  EXPECT_EQ(StateOf(name), Seen::kMissing);
}

TEST(EventsTest, AnExistingEventIsOpenedAsItIs) {
  const char* name = "VelloxTestShared";
  HANDLE other = CreateEventA(nullptr, TRUE, TRUE, name);
  ASSERT_NE(other, nullptr);
  EventHandle event = CreateNamedEvent(name);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(StateOf(name), Seen::kSet);
  ResetNamedEvent(event);
  EXPECT_EQ(WaitForSingleObject(other, 0), static_cast<DWORD>(WAIT_TIMEOUT));  // one object
  CloseNamedEvent(event);
  EXPECT_EQ(StateOf(name), Seen::kReset);  // the other handle keeps it
  CloseHandle(other);
}

TEST(EventsTest, NullHandlesAreIgnored) {
  SetNamedEvent(nullptr);
  ResetNamedEvent(nullptr);
  CloseNamedEvent(nullptr);
}

}  // namespace
}  // namespace platform
}  // namespace vellox

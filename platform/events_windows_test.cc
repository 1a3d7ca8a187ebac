#include "platform/events.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "event_state.h"

namespace vellox {
namespace platform {
namespace {

using testing::EventState;
using testing::StateOfEvent;

TEST(EventsTest, NamedManualResetEventStartsReset) {
  const char* name = "VelloxTestEvent";
  EventHandle event = CreateNamedEvent(name);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(StateOfEvent(name), EventState::kReset);
  SetNamedEvent(event);
  EXPECT_EQ(StateOfEvent(name), EventState::kSet);
  EXPECT_EQ(StateOfEvent(name), EventState::kSet);  // a wait does not reset it
  ResetNamedEvent(event);
  EXPECT_EQ(StateOfEvent(name), EventState::kReset);
  CloseNamedEvent(event);
  EXPECT_EQ(StateOfEvent(name), EventState::kMissing);
}

TEST(EventsTest, AnExistingEventIsOpenedAsItIs) {
  const char* name = "VelloxTestShared";
  HANDLE other = CreateEventA(nullptr, TRUE, TRUE, name);
  ASSERT_NE(other, nullptr);
  EventHandle event = CreateNamedEvent(name);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(StateOfEvent(name), EventState::kSet);
  ResetNamedEvent(event);
  EXPECT_EQ(WaitForSingleObject(other, 0), static_cast<DWORD>(WAIT_TIMEOUT));  // one object
  CloseNamedEvent(event);
  EXPECT_EQ(StateOfEvent(name), EventState::kReset);  // the other handle keeps it
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

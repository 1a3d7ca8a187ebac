#include "platform/events.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <semaphore.h>

#include "app/sync_events.h"

namespace vellox {
namespace platform {
namespace {

// The value of the named semaphore behind an event, or -1 when no such
// name exists.
int ValueOf(const char* name) {
  sem_t* s = sem_open((std::string("/") + name).c_str(), 0);
  if (s == SEM_FAILED) return -1;
  int value = -2;
  sem_getvalue(s, &value);
  sem_close(s);
  return value;
}

TEST(EventsTest, SetAndResetAreIdempotent) {
  const char* name = "VelloxTestEvent";
  sem_unlink("/VelloxTestEvent");
  EventHandle event = CreateNamedEvent(name);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(ValueOf(name), 0);
  SetNamedEvent(event);
  SetNamedEvent(event);
  EXPECT_EQ(ValueOf(name), 1);
  ResetNamedEvent(event);
  ResetNamedEvent(event);
  EXPECT_EQ(ValueOf(name), 0);
  CloseNamedEvent(event);
  EXPECT_EQ(ValueOf(name), -1);  // this process made it, so the name goes
}

TEST(EventsTest, AnEventMadeByAnotherProcessKeepsItsStateAndName) {
  const char* name = "VelloxTestShared";
  sem_unlink("/VelloxTestShared");
  sem_t* other = sem_open("/VelloxTestShared", O_CREAT | O_EXCL, 0600, 1);
  ASSERT_NE(other, SEM_FAILED);
  EventHandle event = CreateNamedEvent(name);
  EXPECT_EQ(ValueOf(name), 1);
  ResetNamedEvent(event);
  CloseNamedEvent(event);
  EXPECT_EQ(ValueOf(name), 0);  // still there: it is the other process's
  sem_close(other);
  sem_unlink("/VelloxTestShared");
}

TEST(EventsTest, NullHandlesAreIgnored) {
  SetNamedEvent(nullptr);
  ResetNamedEvent(nullptr);
  CloseNamedEvent(nullptr);
}

TEST(EventsTest, SyncEventsAreSignalledForTheirLifetime) {
  for (const char* name : SyncEvents::kNames) sem_unlink((std::string("/") + name).c_str());
  {
    SyncEvents events;
    for (const char* name : SyncEvents::kNames) EXPECT_EQ(ValueOf(name), 1) << name;
  }
  for (const char* name : SyncEvents::kNames) EXPECT_EQ(ValueOf(name), -1) << name;
}

}  // namespace
}  // namespace platform
}  // namespace vellox

#ifndef VELLOX_TESTS_EVENT_STATE_H_
#define VELLOX_TESTS_EVENT_STATE_H_

// Windows tests only: the state of a named event as another process sees
// it, the counterpart of semaphore_value.h.

#include <windows.h>

namespace vellox {
namespace testing {

enum class EventState { kMissing, kSet, kReset };

// The event `name` opened by name, and whether it is signalled.
inline EventState StateOfEvent(const char* name) {
  HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, name);
  if (event == nullptr) return EventState::kMissing;
  DWORD wait = WaitForSingleObject(event, 0);
  CloseHandle(event);
  return wait == WAIT_OBJECT_0 ? EventState::kSet : EventState::kReset;
}

}  // namespace testing
}  // namespace vellox

#endif  // VELLOX_TESTS_EVENT_STATE_H_

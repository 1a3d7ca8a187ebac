#include "platform/events.h"

#include <windows.h>

namespace vellox {
namespace platform {

// Kernel objects are guarded by their security descriptors, and a wrong
// kind of object under the name makes the call fail: nothing to refuse.
EventHandle CreateNamedEvent(const char* name, std::string* /*refusal*/) {
  // An event that already exists is opened as it is; its state stays.
  return CreateEventA(nullptr, /*bManualReset=*/TRUE, /*bInitialState=*/FALSE, name);
}

void SetNamedEvent(EventHandle event) {
  if (event != nullptr) SetEvent(event);
}

void ResetNamedEvent(EventHandle event) {
  if (event != nullptr) ResetEvent(event);
}

void CloseNamedEvent(EventHandle event) {
  if (event != nullptr) CloseHandle(event);
}

}  // namespace platform
}  // namespace vellox

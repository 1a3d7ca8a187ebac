#include "platform/events.h"

#include <windows.h>

namespace vellox {
namespace platform {

EventHandle CreateNamedEvent(const char* name) {
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

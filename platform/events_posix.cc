#include "platform/events.h"

#include <fcntl.h>
#include <semaphore.h>

#include <cerrno>
#include <string>

namespace vellox {
namespace platform {
namespace {

// An event is a named semaphore whose value is 0 (reset) or 1 (set).
struct NamedEvent {
  sem_t* semaphore;
  std::string name;
  bool created;  // this process made it, so it removes the name at the end
};

}  // namespace

EventHandle CreateNamedEvent(const char* name) {
  std::string semaphoreName = std::string("/") + name;
  bool created = true;
  sem_t* semaphore = sem_open(semaphoreName.c_str(), O_CREAT | O_EXCL, 0600, 0);
  if (semaphore == SEM_FAILED && errno == EEXIST) {
    created = false;
    semaphore = sem_open(semaphoreName.c_str(), 0);
  }
  if (semaphore == SEM_FAILED) return nullptr;
  // An event that already exists keeps its state, as on Windows.
  return new NamedEvent{semaphore, semaphoreName, created};
}

void SetNamedEvent(EventHandle handle) {
  if (handle == nullptr) return;
  sem_t* semaphore = static_cast<NamedEvent*>(handle)->semaphore;
  int value = 0;
  if (sem_getvalue(semaphore, &value) == 0 && value == 0) sem_post(semaphore);
}

void ResetNamedEvent(EventHandle handle) {
  if (handle == nullptr) return;
  sem_t* semaphore = static_cast<NamedEvent*>(handle)->semaphore;
  while (sem_trywait(semaphore) == 0) {
  }
}

void CloseNamedEvent(EventHandle handle) {
  if (handle == nullptr) return;
  NamedEvent* event = static_cast<NamedEvent*>(handle);
  sem_close(event->semaphore);
  if (event->created) sem_unlink(event->name.c_str());
  delete event;
}

}  // namespace platform
}  // namespace vellox

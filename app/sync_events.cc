#include "app/sync_events.h"

namespace vellox {

SyncEvents::SyncEvents() {
  for (int i = 0; i < 3; ++i) {
    std::string refusal;
    handles[i] = platform::CreateNamedEvent(kNames[i], &refusal);
    if (!refusal.empty()) warnings.push_back(refusal);
  }
  for (platform::EventHandle handle : handles) platform::SetNamedEvent(handle);
}

SyncEvents::~SyncEvents() {
  for (platform::EventHandle handle : handles) platform::ResetNamedEvent(handle);
  for (platform::EventHandle handle : handles) platform::CloseNamedEvent(handle);
}

}  // namespace vellox

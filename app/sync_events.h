#ifndef VELLOX_APP_SYNC_EVENTS_H_
#define VELLOX_APP_SYNC_EVENTS_H_

#include <string>
#include <vector>

#include "platform/events.h"

namespace vellox {

// The three named events that show other processes that a conversion is
// running: created and signalled on construction, reset and closed on
// destruction, always in the order SyncOpenFile, SyncGetPage,
// SyncOtherState. An event that cannot be created is left out silently; one
// that is refused (planted by another user, malformed) is left out with a
// warning for the caller to print.
class SyncEvents {
 public:
  static constexpr const char* kNames[3] = {"SyncOpenFile", "SyncGetPage",
                                            "SyncOtherState"};

  SyncEvents();
  ~SyncEvents();
  SyncEvents(const SyncEvents&) = delete;
  SyncEvents& operator=(const SyncEvents&) = delete;

  // One message per refused event, for "vellox: warning: ".
  const std::vector<std::string>& Warnings() const { return warnings; }

 private:
  platform::EventHandle handles[3];
  std::vector<std::string> warnings;
};

}  // namespace vellox

#endif  // VELLOX_APP_SYNC_EVENTS_H_

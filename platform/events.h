#ifndef VELLOX_PLATFORM_EVENTS_H_
#define VELLOX_PLATFORM_EVENTS_H_

#include <string>

// Named, manual-reset events that other processes can see. On Windows they
// are kernel events; on POSIX, named semaphores of value 0 or 1. They are a
// courtesy to other programs: nothing about them may stop or stall a run.
namespace vellox {
namespace platform {

using EventHandle = void*;  // null when creation failed

// Creates (or opens) the event `name`, not signalled. Null on failure. An
// existing event that another user planted, or that is not a well-formed
// event, is refused: null, and `refusal` (when given) says why.
EventHandle CreateNamedEvent(const char* name, std::string* refusal = nullptr);
// These three accept a null handle and then do nothing.
void SetNamedEvent(EventHandle event);
void ResetNamedEvent(EventHandle event);
void CloseNamedEvent(EventHandle event);

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_EVENTS_H_

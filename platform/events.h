#ifndef VELLOX_PLATFORM_EVENTS_H_
#define VELLOX_PLATFORM_EVENTS_H_

// Named, manual-reset events that other processes can see. On Windows they
// are kernel events; on POSIX, named semaphores of value 0 or 1.
namespace vellox {
namespace platform {

using EventHandle = void*;  // null when creation failed

// Creates (or opens) the event `name`, not signalled. Null on failure.
EventHandle CreateNamedEvent(const char* name);
// These three accept a null handle and then do nothing.
void SetNamedEvent(EventHandle event);
void ResetNamedEvent(EventHandle event);
void CloseNamedEvent(EventHandle event);

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_EVENTS_H_

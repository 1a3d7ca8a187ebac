#ifndef VELLOX_PLATFORM_INTERRUPTS_H_
#define VELLOX_PLATFORM_INTERRUPTS_H_

#include <string>

namespace vellox {
namespace platform {

// Makes an interrupt (Ctrl-C, SIGTERM, SIGHUP) remove the temporary files
// of the writes in progress, then end the program as the signal asks. A
// signal the program was started ignoring stays ignored. Call it once,
// before any thread starts. On Windows it does nothing.
void RemoveTemporaryFilesOnInterrupt();

// The temporary files an interrupt removes. Tracking fails (the file then
// outlives an interrupt) only when every writing thread's slot is taken or
// the path is longer than any the system opens.
bool TrackTemporaryFile(const std::string& path);
void ForgetTemporaryFile(const std::string& path);

// Bracket the creation of a temporary file and its tracking, with
// interrupts held in the calling thread. An interrupt handled by another
// thread meanwhile waits until the bracket closes, so that it finds every
// file that exists listed, however the threads interleave. False, with no
// bracket open, once an interrupt is ending the program: create nothing.
bool BeginCreatingTemporaryFile();
void EndCreatingTemporaryFile();

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_INTERRUPTS_H_

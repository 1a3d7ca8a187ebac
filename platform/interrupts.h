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

// Makes a write past the file size limit (`ulimit -f`), or to a pipe
// whose reader has gone (`vellox --show book.pdf | head -1`), fail with an
// error the program reports (EFBIG, EPIPE) rather than end it by a signal
// (SIGXFSZ, SIGPIPE) that would leave its temporary files and named events
// behind. Call it once, before anything is written and before any thread
// starts. Neither signal exists on Windows: there it does nothing.
void TurnWriteSignalsIntoErrors();

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

// Bracket the rewrite of a file in place, which an interrupt must not cut
// in two (the file would hold part of the new bytes and the rest of the
// old), with interrupts held in the calling thread: an interrupt handled
// by another thread meanwhile waits until the bracket closes, however long
// that takes. False, with no bracket open, once an interrupt is ending the
// program: write nothing.
bool BeginRewritingInPlace();
void EndRewritingInPlace();

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_INTERRUPTS_H_

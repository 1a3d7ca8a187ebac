#include "platform/interrupts.h"

namespace vellox {
namespace platform {

// A console control handler runs on a thread of its own while the writing
// thread holds the temporary file open without delete sharing: it could
// not remove the file. Windows runs therefore leave cleaning to the next
// look at the folder.
void RemoveTemporaryFilesOnInterrupt() {}
void TurnWriteSignalsIntoErrors() {}
bool TrackTemporaryFile(const std::string& /*path*/) { return false; }
void ForgetTemporaryFile(const std::string& /*path*/) {}
bool BeginCreatingTemporaryFile() { return true; }
void EndCreatingTemporaryFile() {}
bool BeginRewritingInPlace() { return true; }
void EndRewritingInPlace() {}

}  // namespace platform
}  // namespace vellox

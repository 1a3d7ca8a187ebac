#include "platform/standard_output.h"

#include <cerrno>
#include <cstdio>

#include "platform/console.h"
#include "platform/files.h"

namespace vellox {
namespace platform {

Status FlushStandardOutput(bool* readerGone) {
  // A write that failed earlier leaves only the stream's error flag, so
  // the pipe itself is asked whether its reader is there.
  int error = std::fflush(stdout) != 0 ? errno : std::ferror(stdout) ? EIO : 0;
  *readerGone = error == EPIPE || (error != 0 && IsPipeWithoutReader(stdout));
  if (*readerGone) error = EPIPE;
  return error == 0 ? Status::OK() : ErrorStatus(error);
}

}  // namespace platform
}  // namespace vellox

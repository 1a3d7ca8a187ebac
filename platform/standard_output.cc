#include "platform/standard_output.h"

#include <cerrno>
#include <cstdio>

#include "platform/files.h"

namespace vellox {
namespace platform {

Status FlushStandardOutput() {
  // A write that failed earlier leaves only the stream's error flag.
  int error = std::fflush(stdout) != 0 ? errno : std::ferror(stdout) ? EIO : 0;
  return error == 0 ? Status::OK() : ErrorStatus(error);
}

}  // namespace platform
}  // namespace vellox

#ifndef VELLOX_PLATFORM_WIDE_PATH_H_
#define VELLOX_PLATFORM_WIDE_PATH_H_

#include <cstddef>
#include <string>

#include "platform/com.h"

namespace vellox {
namespace platform {

// Paths as the program holds them, to a BSTR and back, for the component
// boundary. On Windows they are UTF-8, so that every name the system's
// UTF-16 allows survives the trip; on POSIX they are file-name bytes,
// carried as AllocStringFromBytes carries them. Titles are no paths: they
// take the code page's conversions (code_page.h).
// Throws std::bad_alloc when the string cannot be allocated.
BSTR AllocStringFromPath(const std::string& path);
std::string PathFromWide(const OLECHAR* path, std::size_t length);

// Messages name paths, and are held as paths are.
inline std::string MessageFromWide(const OLECHAR* message, std::size_t length) {
  return PathFromWide(message, length);
}

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_WIDE_PATH_H_

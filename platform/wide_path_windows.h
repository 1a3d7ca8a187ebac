#ifndef VELLOX_PLATFORM_WIDE_PATH_WINDOWS_H_
#define VELLOX_PLATFORM_WIDE_PATH_WINDOWS_H_

#include <windows.h>

#include <string>

#include "platform/wide_path.h"

namespace vellox {
namespace platform {

// A path as the program holds it (UTF-8), for the system's wide ("W")
// functions, and a wide path from the system back to the program's form
// (PathFromWide, in wide_path.h). Every call that names a file goes
// through these, so that the program's path encoding is decided here alone.
// A path of MAX_PATH units or more is given in the system's own "\?"
// form, which has no such limit.
std::wstring WidePath(const std::string& path);
// UTF-8 to UTF-16 and nothing else: for messages, and paths that are not
// handed to the system's file functions.
std::wstring WideString(const std::string& text);
inline std::string PathFromWide(const std::wstring& path) {
  return PathFromWide(path.data(), path.size());
}

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_WIDE_PATH_WINDOWS_H_

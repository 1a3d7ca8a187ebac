#ifndef VELLOX_PLATFORM_SYSTEM_MESSAGE_WINDOWS_H_
#define VELLOX_PLATFORM_SYSTEM_MESSAGE_WINDOWS_H_

#include <windows.h>

#include <string>

#include "base/status.h"
#include "platform/wide_path_windows.h"

namespace vellox {
namespace platform {

// The system's text for a Win32 error or a status code, on one line and
// without the closing full stop, so that it can end a "vellox: " message.
// UTF-8, as every message inside the program: the system's language may
// have characters the ANSI code page lacks. Empty when the system has no
// text for the code.
inline std::string SystemMessage(DWORD code) {
  wchar_t* buffer = nullptr;
  DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                    FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text = buffer != nullptr ? MessageFromWide(buffer, length) : std::string();
  LocalFree(buffer);
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  while (!text.empty() && (text.back() == ' ' || text.back() == '.')) text.pop_back();
  return text;
}

// SystemMessage, or the code in figures when the system has no text.
inline std::string Win32ErrorText(DWORD error) {
  std::string text = SystemMessage(error);
  return text.empty() ? "error " + std::to_string(error) : text;
}

// A failure with that text: kNotFound for a missing file or directory.
inline Status Win32ErrorStatus(DWORD error) {
  const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  return Status(missing ? StatusCode::kNotFound : StatusCode::kIoError, Win32ErrorText(error));
}

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_SYSTEM_MESSAGE_WINDOWS_H_

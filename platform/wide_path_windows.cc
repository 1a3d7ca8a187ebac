#include "platform/wide_path_windows.h"

#include <climits>
#include <new>

namespace vellox {
namespace platform {

// UTF-8 and UTF-16 hold the same characters, so no name is lost either
// way; the ANSI code page would turn those it lacks into '?', a name of
// no file.
std::wstring WidePath(const std::string& path) {
  if (path.empty()) return std::wstring();
  if (path.size() > static_cast<std::size_t>(INT_MAX)) throw std::bad_alloc();
  const int length = static_cast<int>(path.size());
  int units = MultiByteToWideChar(CP_UTF8, 0, path.data(), length, nullptr, 0);
  if (units <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  units = MultiByteToWideChar(CP_UTF8, 0, path.data(), length, &wide[0], units);
  wide.resize(units > 0 ? static_cast<std::size_t>(units) : 0);
  return wide;
}

std::string PathFromWide(const wchar_t* path, std::size_t length) {
  if (length == 0) return std::string();
  if (length > static_cast<std::size_t>(INT_MAX)) throw std::bad_alloc();
  const int units = static_cast<int>(length);
  int bytes = WideCharToMultiByte(CP_UTF8, 0, path, units, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string narrow(static_cast<std::size_t>(bytes), '\0');
  bytes = WideCharToMultiByte(CP_UTF8, 0, path, units, &narrow[0], bytes, nullptr, nullptr);
  narrow.resize(bytes > 0 ? static_cast<std::size_t>(bytes) : 0);
  return narrow;
}

BSTR AllocStringFromPath(const std::string& path) {
  const std::wstring wide = WidePath(path);
  BSTR result = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (result == nullptr) throw std::bad_alloc();
  return result;
}

}  // namespace platform
}  // namespace vellox

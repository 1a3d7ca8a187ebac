#include "platform/wide_path_windows.h"

#include <climits>
#include <new>
#include <vector>

namespace vellox {
namespace platform {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// A full path the system reaches without its 260-character limit: "C:\..."
// as "\\?\C:\...", "\\server\share\..." as "\\?\UNC\server\share\...".
// Such a path is passed on as it is, so it is first resolved as the
// system resolves any other ('/', ".", "..", trailing dots); devices
// ("\\.\") and what is already in that form stay as they are.
std::wstring WithoutLengthLimit(const std::wstring& path) {
  if (path.compare(0, 4, L"\\\\?\\") == 0) return path;
  std::vector<wchar_t> buffer(path.size() + MAX_PATH);
  DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(),
                                  nullptr);
  if (length >= buffer.size()) {
    buffer.resize(length);
    length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(),
                              nullptr);
  }
  if (length == 0 || length >= buffer.size()) return path;
  const std::wstring full(buffer.data(), length);
  if (full.size() >= 3 && full[1] == L':' && IsSeparator(full[2])) return L"\\\\?\\" + full;
  const bool device =
      full.size() >= 4 && (full[2] == L'.' || full[2] == L'?') && IsSeparator(full[3]);
  if (full.size() >= 3 && IsSeparator(full[0]) && IsSeparator(full[1]) && !device)
    return L"\\\\?\\UNC\\" + full.substr(2);
  return full;
}

}  // namespace

// UTF-8 and UTF-16 hold the same characters, so no name is lost either
// way; the ANSI code page would turn those it lacks into '?', a name of
// no file.
std::wstring WideString(const std::string& text) {
  if (text.empty()) return std::wstring();
  if (text.size() > static_cast<std::size_t>(INT_MAX)) throw std::bad_alloc();
  const int length = static_cast<int>(text.size());
  int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  if (units <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  units = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, &wide[0], units);
  wide.resize(units > 0 ? static_cast<std::size_t>(units) : 0);
  return wide;
}

// The system takes paths of up to MAX_PATH units, its terminator included,
// unless the program declares itself long-path aware (its manifest does)
// and the machine allows it (a registry switch, off by default).
std::wstring WidePath(const std::string& path) {
  const std::wstring wide = WideString(path);
  return wide.size() < MAX_PATH ? wide : WithoutLengthLimit(wide);
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

// The component gets the path as the user gave it, in no form of the
// system's own.
BSTR AllocStringFromPath(const std::string& path) {
  const std::wstring wide = WideString(path);
  BSTR result = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (result == nullptr) throw std::bad_alloc();
  return result;
}

}  // namespace platform
}  // namespace vellox

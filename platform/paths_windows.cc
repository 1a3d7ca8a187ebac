#include "platform/paths.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/system_message_windows.h"
#include "platform/wide_path_windows.h"

namespace vellox {
namespace platform {
namespace {

// "\\?\" names a file in the system's own form: the system passes such a
// path on as it is, without resolving it.
bool IsVerbatim(const std::wstring& path) { return path.compare(0, 4, L"\\\\?\\") == 0; }

// The file's identity, through a handle that asks for no access at all, so
// that files open elsewhere and directories can be examined too.
bool Identify(const std::string& path, BY_HANDLE_FILE_INFORMATION* info) {
  HANDLE file = CreateFileW(WidePath(path).c_str(), 0,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = GetFileInformationByHandle(file, info) != 0;
  CloseHandle(file);
  return ok;
}

}  // namespace

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

// In UTF-8 every byte of a multibyte character is 0x80 or above, so a
// plain byte search never takes part of one for an ASCII character.
std::size_t FindLastPathCharacter(const std::string& path, char c, std::size_t from) {
  const std::size_t found = path.rfind(c);
  return found != std::string::npos && found >= from ? found : std::string::npos;
}

std::size_t FindLastPathSeparator(const std::string& path) {
  return path.find_last_of("\\/");
}

// Neither rooted ("\\book.pdf", a UNC or device path) nor on a drive of
// its own ("C:book.pdf" is taken from drive C's current directory).
bool IsRelativePath(const std::string& path) {
  if (!path.empty() && IsPathSeparator(path[0])) return false;
  return !(path.size() >= 2 && path[1] == ':');
}

Status CurrentDirectory(std::string* directory) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) {
      return Status::IoError("cannot read the current directory: " +
                           Win32ErrorText(GetLastError()));
    }
    // Too small a buffer: the length asked for counts the terminator.
    if (length < buffer.size()) {
      *directory = PathFromWide(buffer.data(), length);
      return Status::OK();
    }
    buffer.resize(length);
  }
}

std::string BaseDirectory(const std::string& programPath, bool* programFolder) {
  std::size_t separator = FindLastPathCharacter(programPath, '\\');
  if (programFolder != nullptr) *programFolder = separator != std::string::npos;
  if (separator != std::string::npos) return programPath.substr(0, separator + 1);
  std::string directory;
  if (!CurrentDirectory(&directory).ok()) directory.clear();
  return directory;
}

Status CombinePath(const std::string& directory, const std::string& path,
                   std::string* combined) {
  if (directory.empty() || !IsRelativePath(path)) {
    *combined = path;
  } else {
    *combined = IsPathSeparator(directory.back()) ? directory + path : directory + '\\' + path;
  }
  return Status::OK();
}

// The system's own resolution, as every call that opens a file makes it:
// '/' separates too, "." and ".." fold, "\\.\" device paths keep their
// prefix. Without a length limit: the buffer grows to what it asks for.
Status CanonicalizePath(const std::string& path, std::string* canonical) {
  const std::wstring wide = WideString(path);
  if (wide.empty() || IsVerbatim(wide)) {
    *canonical = path;
    return Status::OK();
  }
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetFullPathNameW(wide.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return Win32ErrorStatus(GetLastError());
    // Too small a buffer: the length asked for counts the terminator.
    if (length < buffer.size()) {
      *canonical = PathFromWide(buffer.data(), length);
      return Status::OK();
    }
    buffer.resize(length);
  }
}

bool IsSameFile(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION infoA, infoB;
  if (!Identify(a, &infoA) || !Identify(b, &infoB)) return false;
  return infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
         infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
         infoA.nFileIndexLow == infoB.nFileIndexLow;
}

}  // namespace platform
}  // namespace vellox

#include "platform/directory.h"

#include <io.h>
#include <windows.h>

#include "platform/system_message_windows.h"
#include "platform/wide_path_windows.h"

namespace vellox {
namespace platform {

FileKind KindOf(const std::string& path) {
  DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return FileKind::kMissing;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileKind::kDirectory;
  if (attributes & FILE_ATTRIBUTE_DEVICE) return FileKind::kOther;
  return FileKind::kRegular;
}

Status ListDirectory(const std::string& path, std::vector<DirectoryEntry>* entries) {
  entries->clear();
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(WidePath(JoinPath(path, "*")).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return Status::OK();
    return Win32ErrorStatus(error);
  }
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    FileKind kind = FileKind::kRegular;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      // A junction or a directory link is never followed.
      kind = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? FileKind::kOther
                                                                     : FileKind::kDirectory;
    } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) {
      kind = FileKind::kOther;
    }
    entries->push_back(DirectoryEntry{PathFromWide(name), kind});
  } while (FindNextFileW(find, &data));
  DWORD error = GetLastError();
  FindClose(find);
  if (error != ERROR_NO_MORE_FILES) return Win32ErrorStatus(error);
  return Status::OK();
}

std::string JoinPath(const std::string& directory, const std::string& name) {
  if (directory.empty() || directory.back() == '/' || directory.back() == '\\')
    return directory + name;
  return directory + '\\' + name;
}

// A console, not merely a character device: NUL is one too.
bool IsTerminal(std::FILE* stream) {
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

}  // namespace platform
}  // namespace vellox

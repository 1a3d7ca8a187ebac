#include "platform/directory.h"

#include <io.h>
#include <windows.h>

#include "platform/code_page.h"
#include "platform/system_message_windows.h"

namespace vellox {
namespace platform {

FileKind KindOf(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return FileKind::kMissing;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileKind::kDirectory;
  if (attributes & FILE_ATTRIBUTE_DEVICE) return FileKind::kOther;
  return FileKind::kRegular;
}

Status ListDirectory(const std::string& path, std::vector<DirectoryEntry>* entries) {
  entries->clear();
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(JoinPath(path, "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return Status::OK();
    return Win32ErrorStatus(error);
  }
  do {
    std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    FileKind kind = FileKind::kRegular;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      // A junction or a directory link is never followed.
      kind = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? FileKind::kOther
                                                                     : FileKind::kDirectory;
    } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) {
      kind = FileKind::kOther;
    }
    entries->push_back(DirectoryEntry{name, kind});
  } while (FindNextFileA(find, &data));
  DWORD error = GetLastError();
  FindClose(find);
  if (error != ERROR_NO_MORE_FILES) return Win32ErrorStatus(error);
  return Status::OK();
}

std::string JoinPath(const std::string& directory, const std::string& name) {
  // A trail byte of a double-byte character may look like a backslash.
  if (directory.empty() || directory.back() == '/' ||
      FindLastCharacter(directory, '\\') + 1 == directory.size())
    return directory + name;
  return directory + '\\' + name;
}

bool IsTerminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

}  // namespace platform
}  // namespace vellox

#include "platform/paths.h"

#include <shlwapi.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/system_message_windows.h"

namespace vellox {
namespace platform {
namespace {

// The shell path services work in buffers of MAX_PATH characters, the
// terminator included. Where they would cut a path to fit, the run stops
// instead: a cut path names another file.
Status TooLong() { return Status::IoError("the path is too long"); }

bool Fits(const std::string& path) { return path.size() < MAX_PATH; }

// The file's identity, through a handle that asks for no access at all, so
// that files open elsewhere and directories can be examined too.
bool Identify(const std::string& path, BY_HANDLE_FILE_INFORMATION* info) {
  HANDLE file = CreateFileA(path.c_str(), 0,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = GetFileInformationByHandle(file, info) != 0;
  CloseHandle(file);
  return ok;
}

}  // namespace

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

Status CurrentDirectory(std::string* directory) {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) {
      return Status::IoError("cannot read the current directory: " +
                           Win32ErrorText(GetLastError()));
    }
    // Too small a buffer: the length asked for counts the terminator.
    if (length < buffer.size()) {
      directory->assign(buffer.data(), length);
      return Status::OK();
    }
    buffer.resize(length);
  }
}

std::string BaseDirectory(const std::string& programPath) {
  std::size_t separator = FindLastCharacter(programPath, '\\');
  if (separator != std::string::npos) return programPath.substr(0, separator + 1);
  std::string directory;
  if (!CurrentDirectory(&directory).ok()) directory.clear();
  return directory;
}

Status CombinePath(const std::string& directory, const std::string& path,
                   std::string* combined) {
  if (!Fits(directory) || !Fits(path)) return TooLong();
  char buffer[MAX_PATH] = "";
  if (PathCombineA(buffer, directory.c_str(), path.c_str()) == nullptr) return TooLong();
  *combined = buffer;
  return Status::OK();
}

Status CanonicalizePath(const std::string& path, std::string* canonical) {
  if (!Fits(path)) return TooLong();
  char buffer[MAX_PATH] = "";
  if (!PathCanonicalizeA(buffer, path.c_str())) return TooLong();
  *canonical = buffer;
  return Status::OK();
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

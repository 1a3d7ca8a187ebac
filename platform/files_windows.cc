#include "platform/files.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/system_message_windows.h"
#include "platform/wide_path_windows.h"

namespace vellox {
namespace platform {
namespace {

// OK, or the system's reason why the call that just returned `succeeded`
// failed.
Status Checked(BOOL succeeded) {
  return succeeded ? Status::OK() : Win32ErrorStatus(GetLastError());
}

// At most this much per WriteFile, whose length is a DWORD.
constexpr std::size_t kMostPerCall = 1u << 30;

// Writes all of `bytes` at the file pointer.
Status WriteAll(HANDLE handle, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min(bytes.size(), kMostPerCall));
    if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr))
      return Win32ErrorStatus(GetLastError());
    if (written == 0) return Win32ErrorStatus(ERROR_WRITE_FAULT);
    bytes.remove_prefix(written);
  }
  return Status::OK();
}

// Sets the file's length; the file pointer ends there.
bool SetLength(HANDLE handle, long long length) {
  LARGE_INTEGER at;
  at.QuadPart = length;
  return SetFilePointerEx(handle, at, nullptr, FILE_BEGIN) && SetEndOfFile(handle);
}

class WindowsWritableFile final : public WritableFile {
 public:
  explicit WindowsWritableFile(HANDLE handle) : handle(handle) {}
  ~WindowsWritableFile() override {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
  WindowsWritableFile(const WindowsWritableFile&) = delete;
  WindowsWritableFile& operator=(const WindowsWritableFile&) = delete;

  Status Append(std::string_view bytes) override { return WriteAll(handle, bytes); }

  Status Sync() override { return Checked(FlushFileBuffers(handle)); }

  Status Close() override {
    const BOOL closed = CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
    return Checked(closed);
  }

 private:
  HANDLE handle;
};

}  // namespace

// An interrupt leaves temporary files to the next look at the folder (see
// interrupts_windows.cc), so there is nothing to list.
Status CreateNewFile(const std::string& path, std::unique_ptr<WritableFile>* file, bool* taken) {
  file->reset();
  // CREATE_NEW, so that the name is this run's alone; no security
  // attributes, so that child processes do not inherit the handle; no
  // delete sharing while it is written.
  HANDLE handle = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    *taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
    return Win32ErrorStatus(error);
  }
  *taken = false;
  file->reset(new WindowsWritableFile(handle));
  return Status::OK();
}

// The new file was created in the target's directory, so it already has
// the permissions a plain create there would give it. The move is written
// through, so there is no folder to sync afterwards.
Status CommitTemporaryFile(const std::string& temporaryPath, const std::string& target,
                           Sync /*sync*/) {
  return Checked(MoveFileExW(WidePath(temporaryPath).c_str(), WidePath(target).c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

// Links are not followed here: a symbolic link or junction is refused, so
// that the write neither goes where the user did not look nor replaces the
// link with a plain file. (Few users can make links on Windows; reading
// where one leads takes parsing its reparse data.) Other reparse points,
// such as files a cloud drive keeps online only, are written as files.
Status ResolveWriteTarget(const std::string& path, std::string* target) {
  *target = path;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(WidePath(path).c_str(), &data);
  // No file yet, or one whose write will say why not.
  if (find == INVALID_HANDLE_VALUE) return Status::OK();
  FindClose(find);
  const bool link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                    (data.dwReserved0 == IO_REPARSE_TAG_SYMLINK ||
                     data.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
  if (link)
    return Status::IoError("a symbolic link, which is not followed on Windows");
  if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
    return Status::IoError("not a regular file");
  return Status::OK();
}

// A plain write is refused only by the read-only attribute, which a
// directory's does not mean.
Status CheckMayWrite(const std::string& target, bool* exists) {
  const DWORD attributes = GetFileAttributesW(WidePath(target).c_str());
  *exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (*exists && (attributes & FILE_ATTRIBUTE_READONLY) &&
      !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    return Win32ErrorStatus(ERROR_ACCESS_DENIED);
  return Status::OK();
}

Status OverwriteFile(const std::string& target, std::string_view bytes, Sync sync) {
  HANDLE handle = CreateFileW(WidePath(target).c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return Win32ErrorStatus(GetLastError());
  LARGE_INTEGER oldLength;
  const long long length = static_cast<long long>(bytes.size());
  Status status = Checked(GetFileSizeEx(handle, &oldLength));
  // Growing the file first claims the room; on failure the old length
  // comes back with the old content untouched.
  if (status.ok() && length > oldLength.QuadPart) {
    status = Checked(SetLength(handle, length));
    if (!status.ok()) SetLength(handle, oldLength.QuadPart);
  }
  const LARGE_INTEGER start = {};
  if (status.ok()) status = Checked(SetFilePointerEx(handle, start, nullptr, FILE_BEGIN));
  if (status.ok()) status = WriteAll(handle, bytes);
  if (status.ok()) status = Checked(SetLength(handle, length));
  if (status.ok() && sync == Sync::kNow) status = Checked(FlushFileBuffers(handle));
  Status closed = Checked(CloseHandle(handle));
  return status.ok() ? closed : status;
}

// Flushing a whole volume takes administrator rights on Windows. Files
// written with Sync::kLater rely on the system's own flushing; removable
// drives default to "quick removal", which does not cache writes.
Status SyncFileSystem(const std::string& /*folder*/) { return Status::OK(); }

void RemoveFile(const std::string& path) { DeleteFileW(WidePath(path).c_str()); }

std::uint32_t ProcessId() { return static_cast<std::uint32_t>(GetCurrentProcessId()); }

}  // namespace platform
}  // namespace vellox

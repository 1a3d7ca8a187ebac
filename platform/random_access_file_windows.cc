#include "platform/random_access_file.h"

#include <windows.h>

#include "platform/system_message_windows.h"
#include "platform/wide_path_windows.h"

namespace vellox {
namespace platform {
namespace {

// Reads by offset through OVERLAPPED positions, so no shared file pointer;
// no mapping, so a file truncated under us gives short reads.
class WindowsRandomAccessFile final : public RandomAccessFile {
 public:
  WindowsRandomAccessFile(HANDLE handle, std::uint64_t size) : handle(handle), size(size) {}
  ~WindowsRandomAccessFile() override { CloseHandle(handle); }
  WindowsRandomAccessFile(const WindowsRandomAccessFile&) = delete;
  WindowsRandomAccessFile& operator=(const WindowsRandomAccessFile&) = delete;

  std::uint64_t Size() const override { return size; }

  Status Read(std::uint64_t offset, std::size_t length, std::string* out) const override {
    if (offset >= size) {
      out->clear();
      return Status::OK();
    }
    if (length > size - offset) length = static_cast<std::size_t>(size - offset);
    // A buffer used before is reused as it is, not cleared first.
    out->resize(length);
    std::size_t done = 0;
    while (done < length) {
      const std::uint64_t at = offset + done;
      OVERLAPPED overlapped = {};
      overlapped.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
      overlapped.OffsetHigh = static_cast<DWORD>(at >> 32);
      const std::size_t left = length - done;
      const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
      DWORD got = 0;
      if (!ReadFile(handle, &(*out)[done], chunk, &got, &overlapped)) {
        const DWORD error = GetLastError();
        if (error == ERROR_HANDLE_EOF) break;
        out->clear();
        return Win32ErrorStatus(error);
      }
      if (got == 0) break;  // the file shrank
      done += got;
    }
    out->resize(done);
    return Status::OK();
  }

 private:
  const HANDLE handle;
  const std::uint64_t size;
};

}  // namespace

Status OpenRandomAccessFile(const std::string& path, std::unique_ptr<RandomAccessFile>* file) {
  file->reset();
  const std::wstring widePath = WidePath(path);
  const DWORD attributes = GetFileAttributesW(widePath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Win32ErrorStatus(GetLastError());
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Status::IoError("is a directory");

  // Others may go on writing, renaming or deleting the file while we read.
  HANDLE handle = CreateFileW(widePath.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return Win32ErrorStatus(GetLastError());
  // Pipes and devices open without blocking but must not be read as files.
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    return Status::IoError("not a regular file");
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(handle, &size)) {
    const DWORD error = GetLastError();
    CloseHandle(handle);
    return Win32ErrorStatus(error);
  }
  file->reset(new WindowsRandomAccessFile(handle, static_cast<std::uint64_t>(size.QuadPart)));
  return Status::OK();
}

}  // namespace platform
}  // namespace vellox

#include "bookmarks/file_output_stream.h"

#include <cerrno>

#include "platform/files.h"

namespace vellox {

FileOutputStream::FileOutputStream(const std::string& path, platform::Sync sync)
    : path(path), sync(sync) {
  bool exists = false;
  Status allowed = platform::CheckMayWrite(path, &exists);
  if (!allowed.ok()) {
    openStatus = Fail(allowed.message());
    return;
  }
  Status status = platform::CreateTemporaryFile(path, &file, &temporaryPath);
  // No temporary file beside a file the user may write (a folder they may
  // not write, a name with no room for the suffix): rewrite it in place.
  if (!status.ok() && exists) inPlace = true;
  if (!status.ok() && !exists) openStatus = Fail(status.message());
}

FileOutputStream::~FileOutputStream() {
  if (file != nullptr) {
    std::fclose(file);
    platform::RemoveFile(temporaryPath);
  }
}

Status FileOutputStream::Fail(const std::string& reason) {
  return Status::IoError("cannot write '" + path + "': " + reason);
}

void FileOutputStream::Write(const void* data, std::size_t length) {
  if (writeError != 0 || length == 0) return;
  if (inPlace) {
    gathered.append(static_cast<const char*>(data), length);
    return;
  }
  errno = 0;
  if (std::fwrite(data, 1, length, file) != length)
    writeError = errno != 0 ? errno : EIO;  // a short write counts as failed
}

Status FileOutputStream::Commit() {
  if (inPlace) {
    inPlace = false;
    Status status = platform::OverwriteFile(path, gathered, sync);
    gathered = std::string();
    return status.ok() ? status : Fail(status.message());
  }
  if (file == nullptr) return openStatus;
  int error = writeError;
  errno = 0;
  if (error == 0 && std::fflush(file) != 0) error = errno != 0 ? errno : EIO;
  if (error == 0 && std::ferror(file)) error = EIO;
  Status synced = Status::OK();
  if (error == 0 && sync == platform::Sync::kNow) synced = platform::SyncFile(file);
  errno = 0;
  int closed = std::fclose(file);
  file = nullptr;
  if (error == 0 && closed != 0) error = errno != 0 ? errno : EIO;
  Status status = error != 0  ? Status::IoError(platform::ErrorText(error))
                   : !synced.ok() ? synced
                                  : platform::CommitTemporaryFile(temporaryPath, path, sync);
  if (status.ok()) return status;
  platform::RemoveFile(temporaryPath);
  return Fail(status.message());
}

// Each operation hands its bytes to stdio in one call.
void FileOutputStream::WriteBigEndian(std::uint64_t value, int size) {
  unsigned char bytes[8];
  for (int i = 0; i < size; ++i)
    bytes[i] = static_cast<unsigned char>(value >> (8 * (size - 1 - i)));
  Write(bytes, static_cast<std::size_t>(size));
}

void FileOutputStream::WriteLittleEndian(std::uint64_t value, int size) {
  unsigned char bytes[8];
  for (int i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
  Write(bytes, static_cast<std::size_t>(size));
}

void FileOutputStream::WriteU8(std::uint8_t value) { Write(&value, 1); }
void FileOutputStream::WriteU16BE(std::uint16_t value) { WriteBigEndian(value, 2); }
void FileOutputStream::WriteU16LE(std::uint16_t value) { WriteLittleEndian(value, 2); }
void FileOutputStream::WriteU24BE(std::uint32_t value) { WriteBigEndian(value, 3); }
void FileOutputStream::WriteU24LE(std::uint32_t value) { WriteLittleEndian(value, 3); }
void FileOutputStream::WriteU32BE(std::uint32_t value) { WriteBigEndian(value, 4); }
void FileOutputStream::WriteU32LE(std::uint32_t value) { WriteLittleEndian(value, 4); }
void FileOutputStream::WriteU64BE(std::uint64_t value) { WriteBigEndian(value, 8); }
void FileOutputStream::WriteU64LE(std::uint64_t value) { WriteLittleEndian(value, 8); }

void FileOutputStream::WriteBytes(const void* data, std::int32_t length) {
  if (length > 0) Write(data, static_cast<std::size_t>(length));
}

}  // namespace vellox

#include "platform/atomic_file.h"

#include <utility>

namespace vellox {
namespace platform {

StatusOr<std::unique_ptr<AtomicFile>> AtomicFile::Open(const std::string& path, Sync sync) {
  bool exists = false;
  Status allowed = CheckMayWrite(path, &exists);
  if (!allowed.ok()) return allowed;
  // Made first, so that the temporary file always has an owner to remove it.
  std::unique_ptr<AtomicFile> atomic(new AtomicFile(path, sync));
  Status created = CreateTemporaryFile(path, &atomic->file, &atomic->temporaryPath);
  // No temporary file beside a file the user may write (a folder they may
  // not write, a name with no room for the suffix): rewrite it in place.
  if (!created.ok() && !exists) return created;
  if (atomic->file != nullptr) atomic->buffer.reserve(kBufferSize);
  return atomic;
}

AtomicFile::AtomicFile(std::string target, Sync sync) : target(std::move(target)), sync(sync) {}

AtomicFile::~AtomicFile() {
  if (file == nullptr) return;
  file.reset();
  RemoveFile(temporaryPath);
}

void AtomicFile::Append(std::string_view bytes) {
  if (!status.ok()) return;
  buffer.append(bytes.data(), bytes.size());
  if (file != nullptr && buffer.size() >= kBufferSize) Flush();
}

void AtomicFile::Flush() {
  if (!buffer.empty()) status = file->Append(buffer);
  buffer.clear();
}

Status AtomicFile::Commit() {
  if (committed) return status;
  committed = true;
  if (file == nullptr) {
    if (status.ok()) status = OverwriteFile(target, buffer, sync);
    buffer = std::string();
    return status;
  }
  if (status.ok()) Flush();
  if (status.ok() && sync == Sync::kNow) status = file->Sync();
  Status closed = file->Close();
  file.reset();
  if (status.ok()) status = closed;
  if (status.ok()) status = CommitTemporaryFile(temporaryPath, target, sync);
  if (!status.ok()) RemoveFile(temporaryPath);
  return status;
}

}  // namespace platform
}  // namespace vellox

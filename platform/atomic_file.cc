#include "platform/atomic_file.h"

#include <utility>

namespace vellox {
namespace platform {

namespace {

// A failure past a symbolic link says where the link leads: the user may
// not have that file, its folder or its disk in mind.
Status ThroughLink(const std::string& path, const std::string& target, const Status& status) {
  if (status.ok() || target == path) return status;
  return status.WithContext("a symbolic link to '" + target + "'");
}

}  // namespace

StatusOr<std::unique_ptr<AtomicFile>> AtomicFile::Open(const std::string& path, Sync sync) {
  // Everything below works on the file the path leads to: the temporary
  // file goes beside it and replaces it, leaving any link in place.
  std::string target;
  Status resolved = ResolveWriteTarget(path, &target);
  if (!resolved.ok()) return resolved;
  bool exists = false;
  Status allowed = CheckMayWrite(target, &exists);
  if (!allowed.ok()) return ThroughLink(path, target, allowed);
  // Made first, so that the temporary file always has an owner to remove it.
  std::unique_ptr<AtomicFile> atomic(new AtomicFile(path, target, sync));
  Status created = CreateTemporaryFile(target, &atomic->file, &atomic->temporaryPath);
  // No temporary file beside a file the user may write (a folder they may
  // not write, a name with no room for the suffix): rewrite it in place.
  if (!created.ok() && !exists) return ThroughLink(path, target, created);
  if (atomic->file != nullptr) atomic->buffer.reserve(kBufferSize);
  return atomic;
}

AtomicFile::AtomicFile(std::string path, std::string target, Sync sync)
    : path(std::move(path)), target(std::move(target)), sync(sync) {}

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
  } else {
    if (status.ok()) Flush();
    if (status.ok() && sync == Sync::kNow) status = file->Sync();
    Status closed = file->Close();
    file.reset();
    if (status.ok()) status = closed;
    if (status.ok()) status = CommitTemporaryFile(temporaryPath, target, sync);
    if (!status.ok()) RemoveFile(temporaryPath);
  }
  status = ThroughLink(path, target, status);
  return status;
}

}  // namespace platform
}  // namespace vellox

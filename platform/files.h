#ifndef VELLOX_PLATFORM_FILES_H_
#define VELLOX_PLATFORM_FILES_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/status.h"

namespace vellox {
namespace platform {

// The system's side of writing files, below AtomicFile (atomic_file.h),
// which is what the rest of the program writes with.

// When a written file is made to reach the disk: before the write counts
// as done (one file), or once for all at the end (a folder of them, see
// SyncFileSystem).
enum class Sync { kNow, kLater };

// A file open for writing, unbuffered: each call goes to the system. The
// destructor closes it if Close was not called.
class WritableFile {
 public:
  virtual ~WritableFile() = default;

  // Writes all of `bytes` after what was written before, or says why not.
  virtual Status Append(std::string_view bytes) = 0;
  // Makes what was written reach the disk.
  virtual Status Sync() = 0;
  // A write error the system deferred can show here.
  virtual Status Close() = 0;
};

// Creates `path`, which must not exist (*taken says so when it did), for
// writing, with the permissions a plain create gives, and lists it for
// removal should an interrupt end the program meanwhile.
Status CreateNewFile(const std::string& path, std::unique_ptr<WritableFile>* file, bool* taken);

// Creates a new file, private to this run, in the directory of `target`
// (CreateNewFile under a fresh name). Its name starts with `target`'s so
// that a stray one (left by a killed run) is recognisable; it never
// collides with one.
Status CreateTemporaryFile(const std::string& target, std::unique_ptr<WritableFile>* file,
                           std::string* temporaryPath);

// Gives the temporary file (closed) the permissions a plain create of
// `target` would have (or those of the file it replaces), then renames it
// over `target` in one step: readers see the old file or the new, never a
// mix. With Sync::kNow the folder is synced too, so that the new name stays.
Status CommitTemporaryFile(const std::string& temporaryPath, const std::string& target,
                           Sync sync);

// The file that a write meant for `path` goes to, in *target: `path`
// itself, or where its symbolic links lead. A link is followed only to a
// name with the link's own extension (`book.pdr` to a `.pdr` file, in
// any letter case), so that it cannot turn the write to another kind of
// file; what the write reaches must be a regular file or nothing yet.
// Anything else is refused with the reason. (Windows follows no links:
// there a symbolic link or junction is refused.)
Status ResolveWriteTarget(const std::string& path, std::string* target);

// Whether writing `target` would be allowed as a plain write in place
// would: OK when there is no file or this user may write it (`exists` says
// which); otherwise the reason. Replacing must not be a way round a file's
// own permissions.
Status CheckMayWrite(const std::string& target, bool* exists);

// Writes `bytes` over the existing regular file `target` in place (not
// through a link), for a file the user may write in a folder where they
// may not create one. Room for the new length is reserved first, so that a
// full disk leaves the old content whole, and an interrupt waits until the
// rewrite is done; a failure after that (an I/O error) can leave it mixed.
Status OverwriteFile(const std::string& target, std::string_view bytes, Sync sync);

// Makes everything written to the file system that holds `folder` reach
// the disk: one flush for a whole folder of files written with Sync::kLater.
Status SyncFileSystem(const std::string& folder);

// Removes a file; failures are ignored (used on error paths only). An
// interrupt meanwhile removes the temporary files that are still there.
void RemoveFile(const std::string& path);

// Differs between processes running at once: mixed into the seed of the
// temporary names, for runtimes whose random device is a fixed sequence.
std::uint32_t ProcessId();

// The C library's text for an errno value, on one line.
std::string ErrorText(int error);
// A failure with that text: kNotFound for a missing file or directory,
// kIoError for anything else.
Status ErrorStatus(int error);

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_FILES_H_

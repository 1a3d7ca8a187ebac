#include "platform/directory.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/files.h"

namespace vellox {
namespace platform {
namespace {

FileKind KindOfMode(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::kRegular;
  if (S_ISDIR(mode)) return FileKind::kDirectory;
  return FileKind::kOther;
}

}  // namespace

FileKind KindOf(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return FileKind::kMissing;
  return KindOfMode(info.st_mode);
}

Status ListDirectory(const std::string& path, std::vector<DirectoryEntry>* entries) {
  entries->clear();
  DIR* directory = opendir(path.c_str());
  if (directory == nullptr) {
    // A walk by paths ends where they grow past what the system opens.
    if (errno == ENAMETOOLONG && path.size() >= PATH_MAX)
      return Status::IoError("the path is longer than the system's limit of " +
                             std::to_string(PATH_MAX) + " bytes");
    return ErrorStatus(errno);
  }
  int fd = dirfd(directory);
  // Reading names needs read permission, but looking at what they are
  // needs search permission too: without it every entry would pass for a
  // dangling link and the folder would look empty.
  struct stat self;
  if (fstatat(fd, ".", &self, 0) != 0) {
    int error = errno;
    closedir(directory);
    return ErrorStatus(error);
  }
  errno = 0;
  while (dirent* entry = readdir(directory)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
      continue;
    struct stat info;
    FileKind kind = FileKind::kMissing;  // a dangling link
    if (fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
      if (S_ISLNK(info.st_mode)) {
        // A link counts as what it points to, but never as a directory.
        if (fstatat(fd, entry->d_name, &info, 0) == 0)
          kind = S_ISDIR(info.st_mode) ? FileKind::kOther : KindOfMode(info.st_mode);
      } else {
        kind = KindOfMode(info.st_mode);
      }
    }
    entries->push_back(DirectoryEntry{entry->d_name, kind});
    errno = 0;
  }
  int error = errno;
  closedir(directory);
  if (error != 0) return ErrorStatus(error);
  return Status::OK();
}

std::string JoinPath(const std::string& directory, const std::string& name) {
  if (directory.empty() || directory.back() == '/') return directory + name;
  return directory + '/' + name;
}

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) == 1; }

}  // namespace platform
}  // namespace vellox

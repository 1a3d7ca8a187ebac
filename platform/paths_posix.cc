#include "platform/paths.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/files.h"

namespace vellox {
namespace platform {

bool IsPathSeparator(char c) { return c == '/'; }

std::size_t FindLastPathCharacter(const std::string& path, char c, std::size_t from) {
  return FindLastCharacter(path, c, from);
}

std::size_t FindLastPathSeparator(const std::string& path) {
  return FindLastCharacter(path, '/');
}

bool IsRelativePath(const std::string& path) { return path.empty() || path[0] != '/'; }

Status CurrentDirectory(std::string* directory) {
  // No fixed limit: the buffer grows until the path fits.
  std::vector<char> buffer(4096);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE)
      return Status::IoError("cannot read the current directory: " +
                           ErrorText(errno));
    buffer.resize(buffer.size() * 2);
  }
  *directory = buffer.data();
  return Status::OK();
}

std::string BaseDirectory(const std::string&, bool* programFolder) {
  if (programFolder != nullptr) *programFolder = false;
  // A backslash is an ordinary byte of a POSIX name, so the program's path
  // says nothing about where the user's files are.
  std::string directory;
  if (!CurrentDirectory(&directory).ok()) directory.clear();
  return directory;
}

Status CombinePath(const std::string& directory, const std::string& path,
                   std::string* combined) {
  if (!path.empty() && path[0] == '/') {
    *combined = path;
  } else if (directory.empty()) {
    *combined = path;
  } else if (path.empty()) {
    *combined = directory;
  } else {
    std::string joined = directory.back() == '/' ? directory + path : directory + '/' + path;
    // The kernel refuses a path of PATH_MAX bytes or more, but resolves a
    // shorter relative one below a current directory of any length.
    *combined = joined.size() < PATH_MAX ? joined : path;
  }
  return Status::OK();
}

Status CanonicalizePath(const std::string& path, std::string* canonical) {
  bool absolute = !path.empty() && path[0] == '/';
  std::vector<std::string> elements;  // may start with ".." that cannot fold
  std::string prefix = absolute ? "/" : "";  // `elements` joined
  auto rebuild = [&] {
    prefix = absolute ? "/" : "";
    for (std::size_t i = 0; i < elements.size(); ++i)
      prefix += (i == 0 ? "" : "/") + elements[i];
  };
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string element = path.substr(start, end - start);
    start = end + 1;
    if (element.empty() || element == ".") continue;
    if (element == "..") {
      struct stat info;
      if (elements.empty() && absolute) continue;  // "/.." is "/"
      // Only a real directory's ".." is the element before it: after a
      // symbolic link, or a name that is no directory, the kernel's
      // answer differs from the folded one, so the ".." stays.
      if (!elements.empty() && elements.back() != ".." &&
          lstat(prefix.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        elements.pop_back();
        rebuild();
        continue;
      }
    }
    elements.push_back(element);
    if (!prefix.empty() && prefix.back() != '/') prefix += '/';
    prefix += element;
  }
  *canonical = prefix.empty() ? "." : prefix;
  return Status::OK();
}

bool IsSameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace platform
}  // namespace vellox

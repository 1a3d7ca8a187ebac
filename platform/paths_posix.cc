#include "platform/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/files.h"

namespace vellox {
namespace platform {

bool IsPathSeparator(char c) { return c == '/'; }

Status CurrentDirectory(std::string* directory) {
  // No fixed limit: the buffer grows until the path fits.
  std::vector<char> buffer(4096);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE)
      return Status::Error("cannot read the current directory: " +
                           ErrorText(errno));
    buffer.resize(buffer.size() * 2);
  }
  *directory = buffer.data();
  return Status::OK();
}

Status CombinePath(const std::string& directory, const std::string& path,
                   std::string* combined) {
  if (!path.empty() && path[0] == '/') {
    *combined = path;
  } else if (directory.empty()) {
    *combined = path;
  } else if (path.empty()) {
    *combined = directory;
  } else if (directory.back() == '/') {
    *combined = directory + path;
  } else {
    *combined = directory + '/' + path;
  }
  return Status::OK();
}

Status CanonicalizePath(const std::string& path, std::string* canonical) {
  // Lexical folding, as the shell path services do: the file system is not
  // asked, so a ".." after a symbolic link folds the link's name.
  bool absolute = !path.empty() && path[0] == '/';
  std::vector<std::string> elements;
  std::size_t leadingUps = 0;  // ".." that a relative path cannot fold
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string element = path.substr(start, end - start);
    if (element.empty() || element == ".") {
      // skip
    } else if (element == "..") {
      if (!elements.empty()) {
        elements.pop_back();
      } else if (!absolute) {
        ++leadingUps;
      }
    } else {
      elements.push_back(element);
    }
    start = end + 1;
  }
  std::string result = absolute ? "/" : "";
  for (std::size_t i = 0; i < leadingUps; ++i) result += "../";
  for (const std::string& element : elements) result += element + '/';
  if (result.size() > 1 && result.back() == '/') result.pop_back();
  *canonical = result;
  return Status::OK();
}

bool IsSameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace platform
}  // namespace vellox

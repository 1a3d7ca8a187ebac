#ifndef VELLOX_PLATFORM_DIRECTORY_H_
#define VELLOX_PLATFORM_DIRECTORY_H_

#include <cstdio>
#include <string>
#include <vector>

#include "base/status.h"

namespace vellox {
namespace platform {

enum class FileKind { kMissing, kRegular, kDirectory, kOther };

// What is at `path`, following symbolic links.
FileKind KindOf(const std::string& path);

struct DirectoryEntry {
  std::string name;
  // What the entry is, links followed; a link to a directory is kOther,
  // so that a walk never follows one (and so never loops).
  FileKind kind;
};

// The entries of a directory, without "." and "..", in no set order.
Status ListDirectory(const std::string& path, std::vector<DirectoryEntry>* entries);

// `directory` and `name` joined with this platform's separator.
std::string JoinPath(const std::string& directory, const std::string& name);

// True when `stream` (stdout or stderr) is an interactive terminal.
bool IsTerminal(std::FILE* stream);

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_DIRECTORY_H_

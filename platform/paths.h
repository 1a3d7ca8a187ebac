#ifndef VELLOX_PLATFORM_PATHS_H_
#define VELLOX_PLATFORM_PATHS_H_

#include <string>

#include "platform/status.h"

namespace vellox {
namespace platform {

// The character that separates directories in a program path as the shell
// passes it in argument 0 (a backslash on Windows; POSIX paths never count
// it as one, so there the base directory is always the current directory).
constexpr char kProgramPathSeparator = '\\';

// True for the bytes that separate path elements on this platform.
bool IsPathSeparator(char c);

// The process's current directory, without a trailing separator.
Status CurrentDirectory(std::string* directory);

// `path` relative to `directory`; an absolute path stands for itself.
Status CombinePath(const std::string& directory, const std::string& path,
                   std::string* combined);

// "." elements removed, each ".." folded into the element before it.
Status CanonicalizePath(const std::string& path, std::string* canonical);

// True when both paths name one existing file (hard links, case-folding
// file systems and symbolic links included).
bool IsSameFile(const std::string& a, const std::string& b);

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_PATHS_H_

#ifndef VELLOX_PLATFORM_PATHS_H_
#define VELLOX_PLATFORM_PATHS_H_

#include <cstddef>
#include <string>

#include "base/status.h"

namespace vellox {
namespace platform {

// True for the bytes that separate path elements on this platform.
bool IsPathSeparator(char c);

// Position of the last `c` (an ASCII byte) in `path`, at or after `from`,
// that is a character of its own; npos if none. Paths are UTF-8 on
// Windows, where no byte of a multibyte character is ASCII; on POSIX they
// are stepped through by the locale's characters.
std::size_t FindLastPathCharacter(const std::string& path, char c, std::size_t from = 0);
// The same for the last separator of any kind.
std::size_t FindLastPathSeparator(const std::string& path);

// True for a path that is taken from a directory (CombinePath gives it
// one): neither absolute nor, on Windows, rooted or on a drive of its own.
bool IsRelativePath(const std::string& path);

// The process's current directory, without a trailing separator.
Status CurrentDirectory(std::string* directory);

// The directory that relative paths on the command line are looked for in
// first. On Windows: the program's own directory as the shell passes it in
// argument 0, up to its last backslash, or else the current directory. On
// POSIX: always the current directory. Empty when it cannot be read, so
// that relative paths stay relative. `programFolder`, when given, tells
// whether it is the program's directory.
std::string BaseDirectory(const std::string& programPath, bool* programFolder = nullptr);

// `path` relative to `directory`; an absolute path stands for itself. On
// POSIX a relative path too long to open once combined stays relative: the
// kernel still takes it from the current directory.
Status CombinePath(const std::string& directory, const std::string& path,
                   std::string* combined);

// "." elements removed and each ".." folded into the element before it
// where both name the same file. On Windows that is the system's own
// resolution (GetFullPathNameW), whatever the length: the path made full
// from the current directory, '/' read as '\', a device path's "\\.\"
// kept and a "\\?\" path left verbatim, as every call that opens a file
// takes them. On POSIX a ".." is folded only after a directory that is no
// symbolic link (after a link the kernel climbs from where the link
// leads), and kept otherwise.
Status CanonicalizePath(const std::string& path, std::string* canonical);

// True when both paths name one existing file (hard links, case-folding
// file systems and symbolic links included).
bool IsSameFile(const std::string& a, const std::string& b);

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_PATHS_H_

#include "app/output_path.h"

#include <algorithm>

#include "platform/paths.h"

namespace vellox {

std::string DeriveOutputPath(const std::string& inputPath) {
  // Searched as paths are: a byte of a multibyte character never passes
  // for a separator or a full stop.
  const std::size_t separator = platform::FindLastPathSeparator(inputPath);
  const std::size_t elementStart = separator == std::string::npos ? 0 : separator + 1;
  std::size_t dot = platform::FindLastPathCharacter(inputPath, '.', elementStart);
  if (dot == std::string::npos || dot == elementStart) return inputPath + ".pdr";
  return inputPath.substr(0, dot) + ".pdr";
}

bool HasExtension(const std::string& path, const std::string& extension) {
  if (path.size() < extension.size()) return false;
  const auto lower = [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  };
  return std::equal(extension.begin(), extension.end(), path.end() - extension.size(),
                    [&](char a, char b) { return lower(a) == lower(b); });
}

}  // namespace vellox

#include "app/output_path.h"

#include <algorithm>

#include "platform/code_page.h"
#include "platform/paths.h"

namespace vellox {

std::string DeriveOutputPath(const std::string& inputPath) {
  // Step by characters so that a trail byte never passes for a separator.
  std::size_t elementStart = 0;
  for (std::size_t i = 0; i < inputPath.size();) {
    std::size_t length =
        platform::CharacterLength(inputPath.data() + i, inputPath.size() - i);
    if (length == 1 && platform::IsPathSeparator(inputPath[i]))
      elementStart = i + 1;
    i += length;
  }
  std::size_t dot = platform::FindLastCharacter(inputPath, '.', elementStart);
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

#include "app/output_collisions.h"

#include <map>

#include "app/output_path.h"

namespace vellox {

std::vector<std::string> FindOutputCollisions(const std::vector<std::string>& pdfs) {
  std::vector<std::string> earlier(pdfs.size());
  std::map<std::string, std::size_t> firstByOutput;
  for (std::size_t i = 0; i < pdfs.size(); ++i) {
    std::string key = DeriveOutputPath(pdfs[i]);
    for (char& c : key)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    auto [found, inserted] = firstByOutput.emplace(key, i);
    if (!inserted) earlier[i] = pdfs[found->second];
  }
  return earlier;
}

}  // namespace vellox

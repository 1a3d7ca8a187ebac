#ifndef VELLOX_APP_FIND_PDFS_H_
#define VELLOX_APP_FIND_PDFS_H_

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace vellox {

// Told, before each folder is listed, how many PDFs were found so far.
using ListingObserver = std::function<void(std::size_t found, const std::string& folder)>;

// The PDFs below `directory` (names ending in ".pdf" in any letter case,
// regular files; links to directories are not followed), in path order.
// Directories that cannot be read are added to `errors` as messages, in
// path order.
std::vector<std::string> FindPdfs(const std::string& directory,
                                  std::vector<std::string>* errors,
                                  const ListingObserver& listing = nullptr);

}  // namespace vellox

#endif  // VELLOX_APP_FIND_PDFS_H_

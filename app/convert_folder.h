#ifndef VELLOX_APP_CONVERT_FOLDER_H_
#define VELLOX_APP_CONVERT_FOLDER_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "outline/outline_walker.h"

namespace vellox {

// Told, before each folder is listed, how many PDFs were found so far.
using ListingObserver = std::function<void(std::size_t found, const std::string& folder)>;

// The PDFs below `directory` (names ending in ".pdf" in any letter case,
// regular files; links to directories are not followed), in path order.
// Directories that cannot be read are added to `errors` as messages.
std::vector<std::string> FindPdfs(const std::string& directory,
                                  std::vector<std::string>* errors,
                                  const ListingObserver& listing = nullptr);

// Converts every PDF below `directory` with `jobs` threads, each PDF's
// bookmark file beside it; of PDFs whose bookmark files differ at most in
// letter case, only the first is converted and the others fail. Messages
// come in path order whatever `jobs` is, then one summary line; returns
// the exit code.
int ConvertFolder(const std::string& directory, const OutlineOptions& options, unsigned jobs);

}  // namespace vellox

#endif  // VELLOX_APP_CONVERT_FOLDER_H_

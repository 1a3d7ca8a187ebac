#ifndef VELLOX_APP_CONVERT_FOLDER_H_
#define VELLOX_APP_CONVERT_FOLDER_H_

#include <string>

#include "outline/outline_options.h"

namespace vellox {

// Converts every PDF below `directory` (find_pdfs.h) with `jobs` threads,
// each PDF's bookmark file beside it; of PDFs whose bookmark files differ
// at most in letter case, only the first is converted and the others fail.
// Messages come in path order whatever `jobs` is, then one summary line;
// returns the exit code.
int ConvertFolder(const std::string& directory, const OutlineOptions& options, unsigned jobs);

}  // namespace vellox

#endif  // VELLOX_APP_CONVERT_FOLDER_H_

#ifndef VELLOX_APP_OUTPUT_PATH_H_
#define VELLOX_APP_OUTPUT_PATH_H_

#include <string>

namespace vellox {

// The bookmark file's path: the input path with the extension of its last
// element replaced by ".pdr", or ".pdr" appended when it has none. A full
// stop that starts the element (".hidden") is no extension.
std::string DeriveOutputPath(const std::string& inputPath);

// Whether `path` ends in `extension` (".pdf"), ASCII letters compared
// without case.
bool HasExtension(const std::string& path, const std::string& extension);

}  // namespace vellox

#endif  // VELLOX_APP_OUTPUT_PATH_H_

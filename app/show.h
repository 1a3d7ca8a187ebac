#ifndef VELLOX_APP_SHOW_H_
#define VELLOX_APP_SHOW_H_

#include <cstdint>
#include <string>

namespace vellox {

// Prints one line per bookmark, "PAGE<tab>TEXT", with TEXT exactly the
// bytes the e-reader receives: decoded from a bookmark file (".pdr"), or,
// for a PDF, what its bookmark file would hold (nothing is written).
// Returns the exit code.
int ShowBookmarks(const std::string& path, std::int32_t depthLimit);

}  // namespace vellox

#endif  // VELLOX_APP_SHOW_H_

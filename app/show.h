#ifndef VELLOX_APP_SHOW_H_
#define VELLOX_APP_SHOW_H_

#include <string>

#include "outline/outline_options.h"

namespace vellox {

// Prints one line per bookmark, "PAGE<tab>TEXT", with TEXT the bytes the
// e-reader receives: decoded from a bookmark file (".pdr"), or, for a PDF,
// what its bookmark file would hold as `options` say (nothing is written).
// Control characters, which would break the line or drive the terminal,
// show as \xHH per byte. Returns the exit code.
int ShowBookmarks(const std::string& path, const OutlineOptions& options);

}  // namespace vellox

#endif  // VELLOX_APP_SHOW_H_

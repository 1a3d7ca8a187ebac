#include "platform/wide_path.h"

#include "platform/wide_text.h"

namespace vellox {
namespace platform {

// File names are bytes in the locale's character set, as every other
// string of the program; the escapes carry those that do not decode.
BSTR AllocStringFromPath(const std::string& path) { return AllocStringFromBytes(path); }

std::string PathFromWide(const OLECHAR* path, std::size_t length) {
  return BytesFromWide(path, length);
}

}  // namespace platform
}  // namespace vellox

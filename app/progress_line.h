#ifndef VELLOX_APP_PROGRESS_LINE_H_
#define VELLOX_APP_PROGRESS_LINE_H_

#include <chrono>
#include <cstddef>
#include <string>

#include "platform/console.h"

namespace vellox {

// A folder's progress as one updating line on a terminal; nothing
// elsewhere. While the folder is listed it counts the PDFs found so far,
// as the total is not known yet; then the PDFs converted of all those
// found.
class ProgressLine {
 public:
  ProgressLine() : line(stderr) {}

  // Listing a folder shows at once, then at most every tenth of a second:
  // a tree of many small folders would spend its time redrawing.
  void Listing(std::size_t found, const std::string& folder);
  void Converting(std::size_t done, std::size_t total, const std::string& path);
  // Makes room for a message.
  void Clear() { line.Clear(); }

 private:
  platform::TerminalLine line;
  bool listed = false;
  std::chrono::steady_clock::time_point lastListing;
};

}  // namespace vellox

#endif  // VELLOX_APP_PROGRESS_LINE_H_

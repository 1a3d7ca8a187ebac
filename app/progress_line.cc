#include "app/progress_line.h"

#include "app/control_characters.h"

namespace vellox {

void ProgressLine::Listing(std::size_t found, const std::string& folder) {
  if (!line.enabled()) return;
  const auto now = std::chrono::steady_clock::now();
  if (listed && now - lastListing < std::chrono::milliseconds(100)) return;
  listed = true;
  lastListing = now;
  line.Show("[" + std::to_string(found) + " found so far] " + EscapeControls(folder));
}

void ProgressLine::Converting(std::size_t done, std::size_t total, const std::string& path) {
  if (!line.enabled()) return;
  line.Show("[" + std::to_string(done) + "/" + std::to_string(total) + "] " +
            EscapeControls(path));
}

}  // namespace vellox

#include "app/find_pdfs.h"

#include <algorithm>

#include "app/output_path.h"
#include "app/user_messages.h"
#include "platform/directory.h"
#include "platform/files.h"

namespace vellox {

std::vector<std::string> FindPdfs(const std::string& directory,
                                  std::vector<std::string>* errors,
                                  const ListingObserver& listing) {
  std::vector<std::string> pdfs;
  std::vector<std::string> pending = {directory};
  std::vector<platform::DirectoryEntry> entries;
  while (!pending.empty()) {
    std::string current = pending.back();
    pending.pop_back();
    if (listing) listing(pdfs.size(), current);
    Status status = platform::ListDirectory(current, &entries);
    if (!status.ok()) {
      errors->push_back(CannotRead(current, status).message());
      continue;
    }
    for (const platform::DirectoryEntry& entry : entries) {
      std::string path = platform::JoinPath(current, entry.name);
      if (entry.kind == platform::FileKind::kDirectory) {
        pending.push_back(path);
      } else if (entry.kind == platform::FileKind::kRegular && HasExtension(entry.name, ".pdf")) {
        pdfs.push_back(path);
      }
    }
  }
  std::sort(pdfs.begin(), pdfs.end());
  std::sort(errors->begin(), errors->end());
  return pdfs;
}

}  // namespace vellox

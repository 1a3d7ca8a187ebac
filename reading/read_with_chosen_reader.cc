#include "pdf/read_outline.h"

#include <cstdlib>
#include <cstring>

#include "pdf/builtin_reader.h"
#include "pdf/fallback_reader.h"

namespace vellox {
namespace pdf {

ReaderChoice ChosenReader() {
  const char* choice = std::getenv("VELLOX_READER");
  if (choice == nullptr) return ReaderChoice::kAuto;
  if (std::strcmp(choice, "builtin") == 0) return ReaderChoice::kBuiltinOnly;
  if (std::strcmp(choice, "qpdf") == 0) return ReaderChoice::kFallbackOnly;
  if (std::strcmp(choice, "component") == 0) return ReaderChoice::kComponentOnly;
  return ReaderChoice::kAuto;
}

StatusOr<OutlineTree> ReadOutlineTree(const std::string& path) {
  const ReaderChoice choice = ChosenReader();
  Status handedOver;  // why the built-in reader gave the file up
  if (choice != ReaderChoice::kFallbackOnly) {
    StatusOr<OutlineTree> read = ReadWithBuiltinReader(path);
    // Only damage is worth another reader's try: a missing file, a file
    // that is no PDF and a broken budget stay what they are.
    if (read.ok() || read.status().code() != StatusCode::kDamaged ||
        choice == ReaderChoice::kBuiltinOnly)
      return read;
    handedOver = read.status();
  }
  StatusOr<FallbackReader> fallback = GetFallbackReader();
  if (fallback.ok()) return (*fallback)(path);
  // No fallback: the built-in reader's reason, and why the fallback is
  // missing where that says anything (a build without one has no reason).
  const std::string& missing = fallback.status().message();
  if (choice == ReaderChoice::kFallbackOnly)
    return missing.empty() ? Status::Unavailable("this build has no repair reader")
                           : fallback.status();
  if (missing.empty()) return handedOver;
  return Status::Damaged(handedOver.message() + "; " + missing);
}

}  // namespace pdf
}  // namespace vellox

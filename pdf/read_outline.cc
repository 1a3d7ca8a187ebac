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
  // A build without any fallback (no reason given) fails with the
  // built-in reader's reason alone.
  const std::string& why = fallback.status().message();
  if (handedOver.ok())
    return why.empty() ? Status::Unavailable("this build has no repair reader") : fallback.status();
  if (why.empty()) return handedOver;
  return Status::Damaged(handedOver.message() + "; " + why);
}

}  // namespace pdf
}  // namespace vellox

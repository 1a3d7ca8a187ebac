#include "pdf/read_outline.h"

#include <cstdlib>
#include <cstring>
#include <utility>

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

HRESULT ReadOutlineTree(const std::string& path, OutlineTree* tree, std::string* message) {
  message->clear();
  const ReaderChoice choice = ChosenReader();
  std::string reason;
  if (choice != ReaderChoice::kFallbackOnly) {
    OutlineTree read;
    switch (ReadWithBuiltinReader(path, &read, &reason)) {
      case BuiltinOutcome::kRead:
        *tree = std::move(read);
        return S_OK;
      case BuiltinOutcome::kCannotOpen:
        *message = reason;
        return kCannotOpen;
      case BuiltinOutcome::kOverLimit:
        *message = reason;
        return kOverLimit;
      case BuiltinOutcome::kNeedsRepair:
        break;
    }
    if (choice == ReaderChoice::kBuiltinOnly) {
      *message = reason;
      return kDamagedBeyondRepair;
    }
  }
  std::string why;
  FallbackReader fallback = GetFallbackReader(&why);
  if (fallback == nullptr) {
    // A build without any fallback (`why` empty) gives the built-in
    // reader's reason alone.
    *message = reason;
    if (!why.empty()) *message = reason.empty() ? why : reason + "; " + why;
    if (message->empty()) *message = "this build has no repair reader";
    return kDamagedBeyondRepair;
  }
  return fallback(path, tree, message);
}

}  // namespace pdf
}  // namespace vellox

#include "pdf/read_outline.h"

#include <cstdlib>
#include <cstring>

#include "pdf/builtin_reader.h"
#include "pdf/fallback_reader.h"

namespace vellox {
namespace pdf {

namespace {

// False for a value that names no reader (unset and empty are "auto").
bool ReadChoice(ReaderChoice* reader) {
  const char* choice = std::getenv("VELLOX_READER");
  *reader = ReaderChoice::kAuto;
  if (choice == nullptr || *choice == '\0' || std::strcmp(choice, "auto") == 0) return true;
  if (std::strcmp(choice, "builtin") == 0) *reader = ReaderChoice::kBuiltinOnly;
  if (std::strcmp(choice, "qpdf") == 0) *reader = ReaderChoice::kFallbackOnly;
  if (std::strcmp(choice, "component") == 0) *reader = ReaderChoice::kComponentOnly;
  return *reader != ReaderChoice::kAuto;
}

}  // namespace

ReaderChoice ChosenReader() {
  ReaderChoice reader;
  ReadChoice(&reader);
  return reader;
}

std::string UnknownReaderChoice() {
  ReaderChoice reader;
  return ReadChoice(&reader) ? std::string() : std::getenv("VELLOX_READER");
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

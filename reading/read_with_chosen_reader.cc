#include "reading/read_with_chosen_reader.h"

#include <cstdlib>
#include <cstring>

#include "builtin_reader/builtin_reader.h"

namespace vellox {
namespace {

enum class ReaderChoice { kAuto, kBuiltinOnly, kFallbackOnly, kComponentOnly };

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

ReaderChoice ChosenReader() {
  ReaderChoice reader;
  ReadChoice(&reader);
  return reader;
}

}  // namespace

std::string UnknownReaderChoice() {
  ReaderChoice reader;
  return ReadChoice(&reader) ? std::string() : std::getenv("VELLOX_READER");
}

StatusOr<OutlineTree> ReadWithChosenReader(const std::string& path, const OutlineOptions& options,
                                           const Readers& readers) {
  const ReaderChoice choice = ChosenReader();
  // Where the registered component can be created, it reads every file, so
  // that a machine that has it keeps its behaviour; where it cannot, ours
  // takes the file silently, unless the component alone was asked for.
  if (readers.component != nullptr && choice != ReaderChoice::kBuiltinOnly) {
    const bool alone = choice == ReaderChoice::kComponentOnly;
    bool created = false;
    StatusOr<OutlineTree> read = readers.component(path, options, alone, &created);
    if (created || alone) return read;
  }

  Status handedOver;  // why our reader gave the file up
  if (choice != ReaderChoice::kFallbackOnly) {
    StatusOr<OutlineTree> read = pdf::ReadWithBuiltinReader(path);
    // Only damage is worth another reader's try: a missing file, a file
    // that is no PDF and a broken budget stay what they are.
    if (read.ok() || read.status().code() != StatusCode::kDamaged ||
        choice == ReaderChoice::kBuiltinOnly)
      return read;
    handedOver = read.status();
  }
  if (readers.fallback == nullptr) {
    if (choice == ReaderChoice::kFallbackOnly)
      return Status::Unavailable("this build has no repair reader");
    return handedOver;
  }
  StatusOr<Readers::FallbackReader> fallback = readers.fallback();
  if (fallback.ok()) return (*fallback)(path);
  // The fallback cannot be loaded: why, after our reader's reason.
  if (choice == ReaderChoice::kFallbackOnly) return fallback.status();
  return Status::Damaged(handedOver.message() + "; " + fallback.status().message());
}

}  // namespace vellox

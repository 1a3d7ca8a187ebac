#ifndef VELLOX_READING_READ_WITH_CHOSEN_READER_H_
#define VELLOX_READING_READ_WITH_CHOSEN_READER_H_

#include <string>

#include "base/status_or.h"
#include "outline/outline_options.h"
#include "outline/outline_tree.h"

namespace vellox {

// The readers a program has besides our own (builtin_reader/), each where
// the build has it; null where it has not.
struct Readers {
  // Windows: the registered component (component/registered_component.h).
  StatusOr<OutlineTree> (*component)(const std::string& path, const OutlineOptions& options,
                                     bool explainAbsence, bool* created) = nullptr;
  // Reads a document our reader cannot trust (damaged, encrypted),
  // repairing what can be repaired.
  using FallbackReader = StatusOr<OutlineTree> (*)(const std::string& path);
  // POSIX: how to reach the reader over qpdf; kUnavailable with the reason
  // when it cannot be reached (reading/qpdf_module.h).
  StatusOr<FallbackReader> (*fallback)() = nullptr;
};

// This program's readers: on Windows the registered component, elsewhere
// the reader over qpdf loaded from its module. Defined by the one of
// readers_with_component.cc and readers_with_qpdf_module.cc that the build
// takes; tests and fuzzers make their own.
Readers ProgramReaders();

// The outline of the PDF at `path` (file-name bytes), read by the reader
// the environment variable VELLOX_READER chooses, for tests and for
// comparing readers: "auto" (the default, also when unset or empty: the
// registered component where there is one, else ours, handing a damaged
// file to the fallback), "builtin" (ours alone), "qpdf" (the fallback
// alone, on Windows after the component), "component" (the component
// alone, where there is one); any other value reads as "auto".
// `options` reach the component's walk, which reads only what they keep.
// Fails with kNotFound or kIoError when the file cannot be read,
// kInvalidData when it is no PDF, kOverLimit past a budget, kDamaged when
// no reader at hand can read it, kUnavailable when the chosen reader is
// not there; reasons are one short line. Throws only std::bad_alloc.
StatusOr<OutlineTree> ReadWithChosenReader(const std::string& path, const OutlineOptions& options,
                                           const Readers& readers = ProgramReaders());

// The value of VELLOX_READER when it names none of the choices above,
// which reads as "auto"; empty otherwise.
std::string UnknownReaderChoice();

}  // namespace vellox

#endif  // VELLOX_READING_READ_WITH_CHOSEN_READER_H_

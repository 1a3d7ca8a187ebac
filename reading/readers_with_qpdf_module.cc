// The program's readers where qpdf is built (POSIX): ours, handing damage
// to the reader over qpdf, loaded from its module when a file needs it.

#include "reading/qpdf_module.h"
#include "reading/read_with_chosen_reader.h"

namespace vellox {

Readers ProgramReaders() {
  Readers readers;
  readers.fallback = &LoadQpdfModule;
  return readers;
}

}  // namespace vellox

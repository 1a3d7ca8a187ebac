// The program's readers where the system has a component library
// (Windows): the registered PDF document component first, then ours. No
// qpdf is built there: a file ours cannot trust fails with its reason.

#include "component/registered_component.h"
#include "reading/read_with_chosen_reader.h"

namespace vellox {

Readers ProgramReaders() {
  Readers readers;
  readers.component = &ReadWithRegisteredComponent;
  return readers;
}

}  // namespace vellox

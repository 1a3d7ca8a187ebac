#ifndef VELLOX_READING_QPDF_MODULE_H_
#define VELLOX_READING_QPDF_MODULE_H_

#include "base/status_or.h"
#include "reading/read_with_chosen_reader.h"

namespace vellox {

// The reader over qpdf, loaded on first use from its module, which sits
// beside the program or, once installed, in the program's library folder:
// a document that needs no repair never loads qpdf and what it links.
// kUnavailable with the reason when the module cannot be loaded or is
// from another build. Safe to call from several threads.
StatusOr<Readers::FallbackReader> LoadQpdfModule();

}  // namespace vellox

#endif  // VELLOX_READING_QPDF_MODULE_H_

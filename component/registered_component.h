#ifndef VELLOX_COMPONENT_REGISTERED_COMPONENT_H_
#define VELLOX_COMPONENT_REGISTERED_COMPONENT_H_

#include <string>

#include "base/status_or.h"
#include "outline/outline_options.h"
#include "outline/outline_tree.h"

namespace vellox {

// Reads the outline of the PDF at `path` with the PDF document component
// registered with the system's component library, walked as `options` say
// (outline_walker.h). `*created` tells whether the component could be
// created at all: where it could not, the failure says so, and why (from
// its registration, which takes a look at the registry and the DLL) when
// `explainAbsence` asks for it. Where it could, its answer is final.
StatusOr<OutlineTree> ReadWithRegisteredComponent(const std::string& path,
                                                  const OutlineOptions& options,
                                                  bool explainAbsence, bool* created);

}  // namespace vellox

#endif  // VELLOX_COMPONENT_REGISTERED_COMPONENT_H_

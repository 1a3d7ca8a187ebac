#ifndef VELLOX_APP_COMPONENT_LIBRARY_SCOPE_H_
#define VELLOX_APP_COMPONENT_LIBRARY_SCOPE_H_

#include "platform/com.h"

namespace vellox {

// Initialises the component library for the calling thread and undoes it
// at the end of the scope, on every way out. Each thread that reads PDFs
// holds one.
class ComponentLibraryScope {
 public:
  ComponentLibraryScope() { platform::InitializeComponentLibrary(); }
  ~ComponentLibraryScope() { platform::UninitializeComponentLibrary(); }
  ComponentLibraryScope(const ComponentLibraryScope&) = delete;
  ComponentLibraryScope& operator=(const ComponentLibraryScope&) = delete;
};

}  // namespace vellox

#endif  // VELLOX_APP_COMPONENT_LIBRARY_SCOPE_H_

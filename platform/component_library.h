#ifndef VELLOX_PLATFORM_COMPONENT_LIBRARY_H_
#define VELLOX_PLATFORM_COMPONENT_LIBRARY_H_

namespace vellox {
namespace platform {

// Initialises the component object library for the calling thread (a
// single-threaded apartment) and uninitialises it; nothing where there is
// none (POSIX). Results are not needed: a failure shows later, when a
// component cannot be created (com.h).
void InitializeComponentLibrary();
void UninitializeComponentLibrary();

// Initialises the component library for the calling thread and undoes it
// at the end of the scope, on every way out. Each thread that reads PDFs
// holds one.
class ComponentLibraryScope {
 public:
  ComponentLibraryScope() { InitializeComponentLibrary(); }
  ~ComponentLibraryScope() { UninitializeComponentLibrary(); }
  ComponentLibraryScope(const ComponentLibraryScope&) = delete;
  ComponentLibraryScope& operator=(const ComponentLibraryScope&) = delete;
};

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_COMPONENT_LIBRARY_H_

#ifndef VELLOX_PLATFORM_MODULE_H_
#define VELLOX_PLATFORM_MODULE_H_

#include <memory>
#include <string>

#include "base/status.h"

namespace vellox {
namespace platform {

// A shared library loaded while the program runs, so that what it needs
// is loaded only when it is used. Unloaded when destroyed.
class Module {
 public:
  virtual ~Module() = default;
  // The address of an exported symbol; null when there is none.
  virtual void* Symbol(const char* name) const = 0;
};

// Loads the library at `path` (file-name bytes); the reason on failure is
// the loader's, one line.
Status LoadModule(const std::string& path, std::unique_ptr<Module>* module);

// The directory that holds the running program's file, without a
// trailing separator.
Status ProgramDirectory(std::string* directory);

// The file name a module called `name` has on this platform
// ("name.so", "name.dll").
std::string ModuleFileName(const std::string& name);

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_MODULE_H_

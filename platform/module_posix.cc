#include "platform/module.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace vellox {
namespace platform {
namespace {

class PosixModule final : public Module {
 public:
  explicit PosixModule(void* handle) : handle(handle) {}
  ~PosixModule() override { dlclose(handle); }
  void* Symbol(const char* name) const override { return dlsym(handle, name); }

 private:
  void* handle;
};

}  // namespace

Status LoadModule(const std::string& path, std::unique_ptr<Module>* module) {
  dlerror();
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    return Status::Unavailable(reason != nullptr ? reason : "cannot be loaded");
  }
  module->reset(new PosixModule(handle));
  return Status::OK();
}

Status ProgramDirectory(std::string* directory) {
  std::vector<char> buffer(PATH_MAX + 1);
  const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (length <= 0) return Status::IoError(std::strerror(errno));
  std::string path(buffer.data(), static_cast<std::size_t>(length));
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return Status::IoError("the program's path has no directory");
  *directory = path.substr(0, slash == 0 ? 1 : slash);
  return Status::OK();
}

std::string ModuleFileName(const std::string& name) { return name + ".so"; }

}  // namespace platform
}  // namespace vellox

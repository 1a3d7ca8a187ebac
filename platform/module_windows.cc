#include "platform/module.h"

#include <windows.h>

#include <vector>

#include "platform/system_message_windows.h"
#include "platform/wide_path_windows.h"

namespace vellox {
namespace platform {
namespace {

class WindowsModule final : public Module {
 public:
  explicit WindowsModule(HMODULE handle) : handle(handle) {}
  ~WindowsModule() override { FreeLibrary(handle); }
  void* Symbol(const char* name) const override {
    return reinterpret_cast<void*>(GetProcAddress(handle, name));
  }

 private:
  HMODULE handle;
};

}  // namespace

Status LoadModule(const std::string& path, std::unique_ptr<Module>* module) {
  HMODULE handle =
      LoadLibraryExW(WidePath(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (handle == nullptr) return Status::Unavailable(SystemMessage(GetLastError()));
  module->reset(new WindowsModule(handle));
  return Status::OK();
}

Status ProgramDirectory(std::string* directory) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return Status::IoError(SystemMessage(GetLastError()));
    if (length < buffer.size()) {
      const std::string path = PathFromWide(buffer.data(), length);
      const std::size_t separator = path.find_last_of("\\/");
      if (separator == std::string::npos) return Status::IoError("the program's path has no directory");
      *directory = path.substr(0, separator);
      return Status::OK();
    }
    if (buffer.size() >= 32768) return Status::IoError("the program's path is too long");
    buffer.resize(buffer.size() * 2);
  }
}

std::string ModuleFileName(const std::string& name) { return name + ".dll"; }

}  // namespace platform
}  // namespace vellox

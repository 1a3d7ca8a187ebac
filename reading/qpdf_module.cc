#include "reading/qpdf_module.h"

#include <memory>
#include <mutex>
#include <string>

#include "platform/module.h"
#include "qpdf_reader/module_interface.h"

namespace vellox {
namespace {

// The module, kept for the whole run, and the reader it exports.
struct Loaded {
  std::unique_ptr<platform::Module> module;
  Readers::FallbackReader reader = nullptr;
};

StatusOr<Loaded> Load() {
  std::string directory;
  Status status = platform::ProgramDirectory(&directory);
  if (!status.ok()) return Status::Unavailable(status.message());
  const std::string file = platform::ModuleFileName(VELLOX_QPDF_MODULE_NAME);
  std::string failure;
  for (const std::string& folder : {directory, directory + "/" VELLOX_MODULE_RELATIVE_DIR}) {
    std::unique_ptr<platform::Module> module;
    status = platform::LoadModule(folder + "/" + file, &module);
    if (!status.ok()) {
      if (failure.empty()) failure = status.message();
      continue;
    }
    using VersionFunction = const char* (*)();
    using ReaderFunction = qpdf_reader::QpdfReadFunction (*)();
    auto version = reinterpret_cast<VersionFunction>(
        module->Symbol(VELLOX_QPDF_MODULE_VERSION_SYMBOL));
    auto reader = reinterpret_cast<ReaderFunction>(module->Symbol(VELLOX_QPDF_MODULE_READ_SYMBOL));
    if (version == nullptr || reader == nullptr || std::string(version()) != VELLOX_BUILD_ID) {
      failure = folder + "/" + file + " is from another build of vellox";
      continue;
    }
    Loaded loaded;
    loaded.reader = reader();
    loaded.module = std::move(module);
    return loaded;
  }
  return Status::Unavailable("the repair reader (" + file + ") cannot be loaded: " + failure);
}

}  // namespace

StatusOr<Readers::FallbackReader> LoadQpdfModule() {
  // Folder mode converts on several threads; the module is loaded once.
  static std::once_flag once;
  static StatusOr<Loaded>* loaded = nullptr;
  std::call_once(once, [] { loaded = new StatusOr<Loaded>(Load()); });
  if (!loaded->ok()) return loaded->status();
  return (*loaded)->reader;
}

}  // namespace vellox

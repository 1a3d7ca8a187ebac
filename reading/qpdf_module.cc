#include "reading/qpdf_module.h"

#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <string>

#include "platform/module.h"
#include "qpdf_reader/module_interface.h"

namespace vellox {
namespace {

// The module, kept for the whole run, and the reader it exports.
struct Loaded {
  std::unique_ptr<platform::Module> module;
  VelloxQpdfReadOutlineFunction read = nullptr;
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
    auto version = reinterpret_cast<VelloxQpdfModuleVersionFunction>(
        module->Symbol(VELLOX_QPDF_MODULE_VERSION_SYMBOL));
    auto read = reinterpret_cast<VelloxQpdfReadOutlineFunction>(
        module->Symbol(VELLOX_QPDF_MODULE_READ_SYMBOL));
    if (version == nullptr || read == nullptr || std::string(version()) != VELLOX_BUILD_ID) {
      failure = folder + "/" + file + " is from another build of vellox";
      continue;
    }
    Loaded loaded;
    loaded.read = read;
    loaded.module = std::move(module);
    return loaded;
  }
  return Status::Unavailable("the repair reader (" + file + ") cannot be loaded: " + failure);
}

StatusOr<Loaded>* g_loaded = nullptr;

// Copies what the module lends into the program's own memory; no
// exception may travel back into the module.
int Receive(void* context, const VelloxOutlineResult* result) {
  auto* read = static_cast<std::optional<StatusOr<OutlineTree>>*>(context);
  try {
    if (result->status != 0) {
      read->emplace(Status(static_cast<StatusCode>(result->status),
                           std::string(result->message, result->messageLength)));
      return 0;
    }
    OutlineTree tree;
    tree.nodes.resize(result->nodeCount);
    for (std::size_t i = 0; i < result->nodeCount; ++i) {
      const VelloxOutlineNode& from = result->nodes[i];
      OutlineTree::Node& to = tree.nodes[i];
      to.parent = from.parent;
      to.firstChild = from.firstChild;
      to.nextSibling = from.nextSibling;
      if (from.page != OutlineTree::kNone) to.page = from.page;
      to.label = from.label;
      to.titleStart = static_cast<std::size_t>(from.titleStart);
      to.titleLength = static_cast<std::size_t>(from.titleLength);
    }
    tree.titles.assign(result->titles.units, result->titles.length);
    tree.labels.reserve(result->labelCount);
    for (std::size_t i = 0; i < result->labelCount; ++i)
      tree.labels.emplace_back(result->labels[i].units, result->labels[i].length);
    tree.repairNote.assign(result->repairNote, result->repairNoteLength);
    read->emplace(std::move(tree));
    return 0;
  } catch (...) {  // bad_alloc, or a length past what a string may hold
    return 1;
  }
}

StatusOr<OutlineTree> ReadThroughModule(const std::string& path) {
  std::optional<StatusOr<OutlineTree>> read;
  if ((*g_loaded)->read(path.c_str(), &Receive, &read) == kVelloxModuleOutOfMemory)
    throw std::bad_alloc();
  if (!read) return Status::Damaged("the repair reader gave no answer");
  return std::move(*read);
}

}  // namespace

StatusOr<Readers::FallbackReader> LoadQpdfModule() {
  // Folder mode converts on several threads; the module is loaded once.
  static std::once_flag once;
  std::call_once(once, [] { g_loaded = new StatusOr<Loaded>(Load()); });
  if (!g_loaded->ok()) return g_loaded->status();
  return Readers::FallbackReader(&ReadThroughModule);
}

}  // namespace vellox

// The exported entry points of the qpdf reader module: C functions over
// C types only (module_interface.h says why).

#include <new>
#include <string>
#include <vector>

#include "qpdf_reader/module_interface.h"
#include "qpdf_reader/outline_reader.h"

namespace {

// Lends `read` to `receive` as the interface's C types.
int Lend(const vellox::StatusOr<vellox::OutlineTree>& read, VelloxOutlineReceiver receive,
         void* context) {
  VelloxOutlineResult result = {};
  result.status = static_cast<int>(read.status().code());
  result.message = read.status().message().data();
  result.messageLength = read.status().message().size();
  std::vector<VelloxOutlineNode> nodes;
  std::vector<VelloxText> labels;
  if (read.ok()) {
    const vellox::OutlineTree& tree = *read;
    nodes.reserve(tree.nodes.size());
    for (const vellox::OutlineTree::Node& n : tree.nodes)
      nodes.push_back(VelloxOutlineNode{n.parent, n.firstChild, n.nextSibling,
                                        n.page.value_or(vellox::OutlineTree::kNone), n.label,
                                        n.titleStart, n.titleLength});
    labels.reserve(tree.labels.size());
    for (const std::u16string& label : tree.labels)
      labels.push_back(VelloxText{label.data(), label.size()});
    result.nodes = nodes.data();
    result.nodeCount = nodes.size();
    result.titles = VelloxText{tree.titles.data(), tree.titles.size()};
    result.labels = labels.data();
    result.labelCount = labels.size();
    result.repairNote = tree.repairNote.data();
    result.repairNoteLength = tree.repairNote.size();
  }
  return receive(context, &result) == 0 ? kVelloxModuleDone : kVelloxModuleOutOfMemory;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) const char* VelloxQpdfModuleVersion() {
  return VELLOX_BUILD_ID;
}

__attribute__((visibility("default"))) int VelloxQpdfReadOutline(const char* path,
                                                                 VelloxOutlineReceiver receive,
                                                                 void* context) {
  // No exception may leave: the program's runtime could not catch it.
  try {
    return Lend(vellox::qpdf_reader::ReadWithQpdf(path), receive, context);
  } catch (const std::bad_alloc&) {
    return kVelloxModuleOutOfMemory;
  } catch (...) {
    // The reader throws nothing else; were it to, the file is one qpdf
    // could not read.
    static const char kReason[] = "damaged (the repair reader failed)";
    VelloxOutlineResult result = {};
    result.status = static_cast<int>(vellox::StatusCode::kDamaged);
    result.message = kReason;
    result.messageLength = sizeof kReason - 1;
    return receive(context, &result) == 0 ? kVelloxModuleDone : kVelloxModuleOutOfMemory;
  }
}

}  // extern "C"

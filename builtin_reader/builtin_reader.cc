#include "builtin_reader/builtin_reader.h"

#include <exception>
#include <new>
#include <utility>

#include "builtin_reader/file_object_source.h"
#include "pdf/outline_builder.h"
#include "pdf/read_failures.h"

namespace vellox {
namespace pdf {

StatusOr<OutlineTree> ReadWithBuiltinReader(const std::string& path) {
  try {
    StatusOr<std::unique_ptr<FileObjectSource>> source = FileObjectSource::Open(path);
    if (!source.ok()) return source.status();
    OutlineTree tree;
    BuildOutlineTree(source->get(), &tree);
    return tree;
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const ReadError& e) {
    switch (e.fault()) {
      case ReadFault::kLimit:
        return Status::OverLimit(e.what());
      case ReadFault::kEncrypted:
        return Status::Damaged(e.what());  // "needs a password", "encrypted with ..."
      case ReadFault::kUnsupported:
        return UnsupportedFeature(e.what());
      case ReadFault::kDamaged:
        break;
    }
    return Status::Damaged(std::string("damaged (") + e.what() + ")");
  } catch (const std::exception& e) {
    return Status::Damaged(std::string("damaged (") + e.what() + ")");
  }
}

}  // namespace pdf
}  // namespace vellox

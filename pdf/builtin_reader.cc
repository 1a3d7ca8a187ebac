#include "pdf/builtin_reader.h"

#include <exception>
#include <new>
#include <utility>

#include "pdf/file_object_source.h"
#include "pdf/outline_builder.h"

namespace vellox {
namespace pdf {

BuiltinOutcome ReadWithBuiltinReader(const std::string& path, OutlineTree* tree,
                                     std::string* reason) {
  try {
    std::unique_ptr<FileObjectSource> source = FileObjectSource::Open(path);
    OutlineTree read;
    BuildOutlineTree(source.get(), &read);
    *tree = std::move(read);
    return BuiltinOutcome::kRead;
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const OpenError& e) {
    *reason = e.what();
    return BuiltinOutcome::kCannotOpen;
  } catch (const ReadError& e) {
    switch (e.fault()) {
      case ReadFault::kLimit:
        *reason = e.what();
        return BuiltinOutcome::kOverLimit;
      case ReadFault::kEncrypted:
        *reason = "encrypted";
        break;
      case ReadFault::kUnsupported:
        *reason = std::string("uses a feature that is not supported (") + e.what() + ")";
        break;
      case ReadFault::kDamaged:
        *reason = std::string("damaged (") + e.what() + ")";
        break;
    }
    return BuiltinOutcome::kNeedsRepair;
  } catch (const std::exception& e) {
    *reason = std::string("damaged (") + e.what() + ")";
    return BuiltinOutcome::kNeedsRepair;
  }
}

}  // namespace pdf
}  // namespace vellox

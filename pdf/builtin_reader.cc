#include "pdf/builtin_reader.h"

namespace vellox {
namespace pdf {

BuiltinOutcome ReadWithBuiltinReader(const std::string&, OutlineTree*, std::string* reason) {
  *reason = "not yet";
  return BuiltinOutcome::kNeedsRepair;
}

}  // namespace pdf
}  // namespace vellox

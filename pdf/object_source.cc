#include "pdf/object_source.h"

#include "pdf/budgets.h"

namespace vellox {
namespace pdf {

void Damaged(const std::string& what) { throw ReadError(ReadFault::kDamaged, what); }

std::string LimitReason(const std::string& what, const std::string& amount) {
  return what + " the limit of " + amount;
}

void OverLimit(const std::string& what, const std::string& amount) {
  throw ReadError(ReadFault::kLimit, LimitReason(what, amount));
}

std::string Mebibytes(std::uint64_t bytes) { return std::to_string(bytes / kMebibyte) + " MiB"; }

}  // namespace pdf
}  // namespace vellox

#include "qpdf_reader/budgeted_input.h"

#include <stdexcept>

#include <qpdf/Buffer.hh>

#include "pdf/budgets.h"
#include "pdf/object_source.h"
#include "qpdf_reader/allocation_budget.h"

namespace vellox {
namespace qpdf_reader {
namespace {

// A Buffer over the bytes, which it does not own; the input owns it.
Buffer* Over(const std::string& bytes) {
  return new Buffer(reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.data())),
                    bytes.size());
}

}  // namespace

BudgetedInput::BudgetedInput(const std::string& name, const std::string& bytes)
    : BufferInputSource(name, Over(bytes), /*own_memory=*/true),
      limit(pdf::kRepairReadBytesPerFileByte * bytes.size() +
            pdf::kRepairReadBytesBeyondFileSize) {}

std::size_t BudgetedInput::read(char* buffer, std::size_t length) {
  const std::size_t got = BufferInputSource::read(buffer, length);
  Charge(got);
  return got;
}

qpdf_offset_t BudgetedInput::findAndSkipNextEOL() {
  const qpdf_offset_t from = tell();
  const qpdf_offset_t found = BufferInputSource::findAndSkipNextEOL();
  Charge(static_cast<std::uint64_t>(tell() - from));
  return found;
}

void BudgetedInput::Charge(std::uint64_t bytes) {
  // qpdf may catch the failure of an allocation (past the memory budget,
  // or the system's) and go on with the next object; with nothing more to
  // read it cannot.
  if (ThisThreadsAllocations().failed()) throw std::length_error("out of memory");
  readBytes += bytes;
  if (readBytes <= limit) return;
  if (limitReason_.empty())
    limitReason_ = pdf::LimitReason("reading the file's structure exceeds",
                                    std::to_string(pdf::kRepairReadBytesPerFileByte) +
                                        " times its size");
  throw std::length_error(limitReason_);
}

}  // namespace qpdf_reader
}  // namespace vellox

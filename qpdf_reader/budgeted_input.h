#ifndef VELLOX_QPDF_READER_BUDGETED_INPUT_H_
#define VELLOX_QPDF_READER_BUDGETED_INPUT_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include <qpdf/BufferInputSource.hh>

namespace vellox {
namespace qpdf_reader {

// A file's bytes in memory as qpdf reads them, counting what it reads.
// qpdf reads a sound file once at most and scans a damaged one a few
// times; cross-reference sections that overlap (one starting inside
// another's trailer) would have it parse the same bytes again and again.
// Past the budget of pdf/budgets.h every read fails, so that qpdf stops,
// and limitReason() says why.
class BudgetedInput : public BufferInputSource {
 public:
  // `bytes` must outlive the input.
  BudgetedInput(const std::string& name, const std::string& bytes);

  const std::string& limitReason() const { return limitReason_; }

  std::size_t read(char* buffer, std::size_t length) override;
  qpdf_offset_t findAndSkipNextEOL() override;

 private:
  void Charge(std::uint64_t bytes);

  std::uint64_t readBytes = 0;
  std::uint64_t limit;
  std::string limitReason_;
};

}  // namespace qpdf_reader
}  // namespace vellox

#endif  // VELLOX_QPDF_READER_BUDGETED_INPUT_H_

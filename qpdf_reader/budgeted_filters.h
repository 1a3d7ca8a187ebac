#ifndef VELLOX_QPDF_READER_BUDGETED_FILTERS_H_
#define VELLOX_QPDF_READER_BUDGETED_FILTERS_H_

#include <string>

#include "pdf/flate.h"

namespace vellox {
namespace qpdf_reader {

// qpdf decodes streams whole as soon as it needs them, the cross-reference
// streams while it opens a file, and would allocate what a tiny file asks
// for: gigabytes for a deflate bomb or a predictor row of 2^31 bytes. The
// decoders that can make much of little (Flate, LZW, RunLength) are
// therefore replaced in qpdf by ones that keep the built-in reader's
// budgets (pdf/budgets.h) and undo predictors as it does, in place.
//
// Registers them with qpdf, once per process; call before any QPDF object
// decodes a stream. Outside a DecodingBudget the per-stream limit still
// holds.
void RegisterBudgetedFilters();

// The budget of the streams qpdf decodes on this thread while the scope
// lasts: one document's. Once a limit is met every later decoding fails at
// once, and the document is refused with limitReason().
class DecodingBudget {
 public:
  DecodingBudget();
  ~DecodingBudget();
  DecodingBudget(const DecodingBudget&) = delete;
  DecodingBudget& operator=(const DecodingBudget&) = delete;

  // Why a decoding met a limit, "" while none has.
  const std::string& limitReason() const { return limitReason_; }
  // What was wrong with compressed data that decoded in part ("" when
  // nothing): qpdf warns of such streams, and keeps what they held.
  const std::string& damage() const { return damage_; }

 private:
  friend class BudgetedDecoder;

  pdf::InflationBudget inflation;
  std::string limitReason_;
  std::string damage_;
  DecodingBudget* outer;
};

}  // namespace qpdf_reader
}  // namespace vellox

#endif  // VELLOX_QPDF_READER_BUDGETED_FILTERS_H_

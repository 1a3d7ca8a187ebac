#ifndef VELLOX_PDF_FLATE_H_
#define VELLOX_PDF_FLATE_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "pdf/object.h"

namespace vellox {
namespace pdf {

// zlib-wrapped deflate data inflated, at most `limit` bytes of it: more
// throws ReadError(kLimit, limitReason), before any memory past the limit
// is taken. Corrupt data throws kDamaged; data cut short yields what it
// holds, as other readers do.
std::string Inflate(const char* data, std::size_t size, std::size_t limit,
                    const std::string& limitReason);

// Undoes the predictor a /DecodeParms dictionary (or null) names, in
// place: PNG predictors 10-15 and TIFF predictor 2. Bad parameters throw
// kDamaged; a row longer than a stream may be, kLimit.
void Unpredict(const Object& parameters, std::string* data);

// A stream's stored length within the per-stream budget: a longer one
// throws kLimit before any of it is read.
void CheckStreamLength(std::uint64_t length);

// The inflated bytes a document may still produce, with the per-stream
// budget applied to each stream.
class InflationBudget {
 public:
  // Decodes a stream's raw data by its /Filter and /DecodeParms (direct
  // objects): none or FlateDecode only, else kUnsupported.
  std::string Decode(const Object& filter, const Object& parameters, std::string raw);

  // The most one stream may decode to now, and in `reason` why one that
  // decodes to more is refused.
  std::size_t StreamLimit(std::string* reason) const;
  // Counts `bytes` decoded by another decoder.
  void Charge(std::uint64_t bytes) { used_ += bytes; }
  std::uint64_t used() const { return used_; }

 private:
  std::uint64_t used_ = 0;
};

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_PDF_FLATE_H_

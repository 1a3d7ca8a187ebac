#ifndef VELLOX_QPDF_READER_STREAM_DECODERS_H_
#define VELLOX_QPDF_READER_STREAM_DECODERS_H_

#include <cstddef>
#include <memory>
#include <string>

namespace vellox {
namespace qpdf_reader {

// Where a decoder's output goes, piece by piece.
class DecodedOutput {
 public:
  virtual ~DecodedOutput() = default;
  virtual void Put(const unsigned char* data, std::size_t size) = 0;
};

// One filter's decoding, fed its encoded bytes piece by piece. Corrupt data
// ends the output where it went wrong and says so in damage(), as qpdf's
// own decoders keep what they could decode. What the output throws passes
// through.
class StreamDecoder {
 public:
  virtual ~StreamDecoder() = default;
  virtual void Write(const unsigned char* data, std::size_t size, DecodedOutput* out) = 0;
  virtual void Finish(DecodedOutput*) {}
  const std::string& damage() const { return damage_; }

 protected:
  std::string damage_;
};

// Flate (zlib); data that ends before its end is damage, its output kept.
std::unique_ptr<StreamDecoder> NewFlateDecoder();
// LZW as PDF has it: 9- to 12-bit codes, 256 clears the table, 257 ends
// the data; the code width grows one code early unless `earlyChange` is
// false (/EarlyChange 0).
std::unique_ptr<StreamDecoder> NewLzwDecoder(bool earlyChange);
// RunLength: a length byte n, then n + 1 bytes as they are (n < 128) or
// one byte 257 - n times (n > 128); 128 ends the data.
std::unique_ptr<StreamDecoder> NewRunLengthDecoder();

}  // namespace qpdf_reader
}  // namespace vellox

#endif  // VELLOX_QPDF_READER_STREAM_DECODERS_H_

#ifndef VELLOX_BOOKMARKS_OUTPUT_STREAM_H_
#define VELLOX_BOOKMARKS_OUTPUT_STREAM_H_

#include <cstdint>

#include "bookmarks/ref_counted_object.h"

namespace vellox {

// A byte sink with fixed-width integer writes in either byte order. A
// signed value is written by the operation of its width as its
// two's-complement bit pattern.
class OutputStream : public RefCountedObject {
 public:
  virtual void WriteU8(std::uint8_t value) = 0;
  virtual void WriteU16BE(std::uint16_t value) = 0;
  virtual void WriteU16LE(std::uint16_t value) = 0;
  // The 24-bit writes drop the top byte of `value`.
  virtual void WriteU24BE(std::uint32_t value) = 0;
  virtual void WriteU24LE(std::uint32_t value) = 0;
  virtual void WriteU32BE(std::uint32_t value) = 0;
  virtual void WriteU32LE(std::uint32_t value) = 0;
  virtual void WriteU64BE(std::uint64_t value) = 0;
  virtual void WriteU64LE(std::uint64_t value) = 0;
  // `length` bytes unchanged: no terminator, no length prefix.
  virtual void WriteBytes(const void* data, std::int32_t length) = 0;
};

}  // namespace vellox

#endif  // VELLOX_BOOKMARKS_OUTPUT_STREAM_H_

#include "qpdf_reader/stream_decoders.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <new>

namespace vellox {
namespace qpdf_reader {
namespace {

// Inflated bytes are handed on in pieces of this size at most.
constexpr std::size_t kPiece = 64 * 1024;

class FlateDecoder final : public StreamDecoder {
 public:
  FlateDecoder() {
    if (inflateInit(&stream) != Z_OK) throw std::bad_alloc();
  }
  ~FlateDecoder() override { inflateEnd(&stream); }

  void Write(const unsigned char* data, std::size_t size, DecodedOutput* out) override {
    while (size > 0 && !ended && damage_.empty()) {
      const uInt piece = static_cast<uInt>(std::min<std::size_t>(size, UINT_MAX));
      stream.next_in = const_cast<unsigned char*>(data);
      stream.avail_in = piece;
      do {
        unsigned char buffer[kPiece];
        stream.next_out = buffer;
        stream.avail_out = sizeof buffer;
        const int result = inflate(&stream, Z_NO_FLUSH);
        out->Put(buffer, sizeof buffer - stream.avail_out);
        if (result == Z_STREAM_END) {
          ended = true;
        } else if (result != Z_OK && result != Z_BUF_ERROR) {
          damage_ = "corrupt compressed data";
        } else if (result == Z_BUF_ERROR && stream.avail_out != 0) {
          break;  // wants more input
        }
        // A full buffer may leave output inside zlib: go on until it is out.
      } while ((stream.avail_in > 0 || stream.avail_out == 0) && !ended && damage_.empty());
      data += piece;
      size -= piece;
    }
  }

  void Finish(DecodedOutput*) override {
    if (!ended && damage_.empty()) damage_ = "compressed data cut short";
  }

 private:
  z_stream stream = {};
  bool ended = false;
};

class LzwDecoder final : public StreamDecoder {
 public:
  explicit LzwDecoder(bool earlyChange) : earlyChange(earlyChange ? 1 : 0) {
    for (unsigned c = 0; c < 256; ++c) length[c] = 1;
  }

  void Write(const unsigned char* data, std::size_t size, DecodedOutput* out) override {
    for (std::size_t i = 0; i < size && !ended && damage_.empty(); ++i) {
      bits = (bits << 8) | data[i];
      bitCount += 8;
      while (bitCount >= width && !ended && damage_.empty()) {
        bitCount -= width;
        Code(static_cast<unsigned>(bits >> bitCount) & ((1u << width) - 1), out);
      }
    }
  }

 private:
  static constexpr unsigned kClear = 256;
  static constexpr unsigned kEnd = 257;
  static constexpr unsigned kMaxCodes = 4096;

  void Reset() {
    size = 258;
    width = 9;
    previous = -1;
  }


  void Code(unsigned code, DecodedOutput* out) {
    if (code == kClear) return Reset();
    if (code == kEnd) {
      ended = true;
      return;
    }
    if (previous < 0) {
      if (code > 255) {
        damage_ = "corrupt LZW data";
        return;
      }
      Emit(code, out);
      previous = static_cast<int>(code);
      return;
    }
    if (code > size || (code == size && size >= kMaxCodes)) {
      damage_ = "corrupt LZW data";
      return;
    }
    // A code not yet in the table is the previous string and its own
    // first byte.
    const unsigned first = FirstByte(code == size ? static_cast<unsigned>(previous) : code);
    if (size < kMaxCodes) {
      prefix[size] = static_cast<std::uint16_t>(previous);
      last[size] = static_cast<unsigned char>(first);
      length[size] = static_cast<std::uint16_t>(length[previous] + 1);
      ++size;
      if (size + earlyChange >= (1u << width) && width < 12) ++width;
    }
    Emit(code, out);
    previous = static_cast<int>(code);
  }

  unsigned FirstByte(unsigned code) const {
    while (code > 255) code = prefix[code];
    return code;
  }

  void Emit(unsigned code, DecodedOutput* out) {
    if (code < 256) {
      const unsigned char byte = static_cast<unsigned char>(code);
      out->Put(&byte, 1);
      return;
    }
    unsigned char text[kMaxCodes];
    std::size_t at = length[code];
    for (unsigned c = code; c > 255; c = prefix[c]) text[--at] = last[c];
    text[0] = static_cast<unsigned char>(FirstByte(code));
    out->Put(text, length[code]);
  }

  const unsigned earlyChange;
  std::uint64_t bits = 0;
  unsigned bitCount = 0;
  unsigned width = 9;
  unsigned size = 258;
  int previous = -1;
  bool ended = false;
  // The table: each code's string is its prefix code's string and a last
  // byte.
  std::uint16_t prefix[kMaxCodes] = {};
  unsigned char last[kMaxCodes] = {};
  std::uint16_t length[kMaxCodes] = {};
};

class RunLengthDecoder final : public StreamDecoder {
 public:
  void Write(const unsigned char* data, std::size_t size, DecodedOutput* out) override {
    for (std::size_t i = 0; i < size && !ended;) {
      if (literal > 0) {
        const std::size_t take = std::min<std::size_t>(literal, size - i);
        out->Put(data + i, take);
        literal -= take;
        i += take;
      } else if (repeat > 0) {
        unsigned char run[128];
        std::fill(run, run + repeat, data[i++]);
        out->Put(run, repeat);
        repeat = 0;
      } else {
        const unsigned n = data[i++];
        if (n == 128) {
          ended = true;
        } else if (n < 128) {
          literal = n + 1;
        } else {
          repeat = 257 - n;
        }
      }
    }
  }

 private:
  std::size_t literal = 0;
  std::size_t repeat = 0;
  bool ended = false;
};

}  // namespace

std::unique_ptr<StreamDecoder> NewFlateDecoder() { return std::make_unique<FlateDecoder>(); }

std::unique_ptr<StreamDecoder> NewLzwDecoder(bool earlyChange) {
  return std::make_unique<LzwDecoder>(earlyChange);
}

std::unique_ptr<StreamDecoder> NewRunLengthDecoder() {
  return std::make_unique<RunLengthDecoder>();
}

}  // namespace qpdf_reader
}  // namespace vellox

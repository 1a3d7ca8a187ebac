#ifndef VELLOX_TESTS_DEFLATE_H_
#define VELLOX_TESTS_DEFLATE_H_

#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vellox {
namespace testing {

// `bytes` compressed as FlateDecode data.
inline std::string Deflate(const std::string& bytes) {
  uLongf size = compressBound(static_cast<uLong>(bytes.size()));
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(&out[0]), &size,
                reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uLong>(bytes.size()),
                Z_BEST_COMPRESSION) != Z_OK)
    throw std::runtime_error("compress2 failed");
  out.resize(size);
  return out;
}

// `count` zero bytes compressed, without holding them: a deflate bomb
// (1 GiB comes to about 1 MiB). Run-length matching finds the same
// matches as a full search here, much faster.
inline std::string DeflatedZeros(std::uint64_t count) {
  z_stream stream = {};
  deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15, 9, Z_RLE);
  static const unsigned char zeros[1 << 16] = {};
  std::string out;
  unsigned char buffer[1 << 16];
  int flush = Z_NO_FLUSH;
  do {
    if (stream.avail_in == 0 && flush == Z_NO_FLUSH) {
      const std::uint64_t chunk = count < sizeof zeros ? count : sizeof zeros;
      stream.next_in = const_cast<unsigned char*>(zeros);
      stream.avail_in = static_cast<uInt>(chunk);
      count -= chunk;
      if (count == 0) flush = Z_FINISH;
    }
    stream.next_out = buffer;
    stream.avail_out = sizeof buffer;
    deflate(&stream, flush);
    out.append(reinterpret_cast<char*>(buffer), sizeof buffer - stream.avail_out);
  } while (!(flush == Z_FINISH && stream.avail_out != 0));
  deflateEnd(&stream);
  return out;
}

}  // namespace testing
}  // namespace vellox

#endif  // VELLOX_TESTS_DEFLATE_H_

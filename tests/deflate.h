#ifndef VELLOX_TESTS_DEFLATE_H_
#define VELLOX_TESTS_DEFLATE_H_

#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vellox {
namespace testing {

// `bytes` compressed as FlateDecode data, at zlib's `level`.
inline std::string Deflate(const std::string& bytes, int level = Z_BEST_COMPRESSION) {
  uLongf size = compressBound(static_cast<uLong>(bytes.size()));
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(&out[0]), &size,
                reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uLong>(bytes.size()),
                level) != Z_OK)
    throw std::runtime_error("compress2 failed");
  out.resize(size);
  return out;
}

// `count` zero bytes compressed, without holding or compressing them
// all: a deflate bomb (1 GiB comes to about 1 MiB). After a full flush the
// compressor starts afresh, so one flushed mebibyte of zeros compresses
// to the same bytes every time and can be repeated.
inline std::string DeflatedZeros(std::uint64_t count) {
  static const std::size_t kChunk = 1 << 20;
  const std::string zeros(kChunk, '\0');
  z_stream stream = {};
  deflateInit(&stream, Z_BEST_COMPRESSION);
  std::string buffer(kChunk, '\0');
  auto run = [&](std::size_t size, int flush) {
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
    stream.avail_in = static_cast<uInt>(size);
    stream.next_out = reinterpret_cast<Bytef*>(&buffer[0]);
    stream.avail_out = static_cast<uInt>(buffer.size());
    deflate(&stream, flush);
    return buffer.substr(0, buffer.size() - stream.avail_out);
  };
  const std::uint64_t chunks = count / kChunk;
  const std::size_t rest = static_cast<std::size_t>(count % kChunk);
  std::string out = run(0, Z_NO_FLUSH);  // the header, once output begins
  const std::string first = run(kChunk, Z_FULL_FLUSH);
  const std::string repeated = run(kChunk, Z_FULL_FLUSH);
  if (chunks > 0) out += first;
  for (std::uint64_t i = 1; i < chunks; ++i) out += repeated;
  // The stream saw two chunks: its checksum must cover them all.
  std::string end = run(rest, Z_FINISH);
  deflateEnd(&stream);
  uLong checksum = adler32(0, nullptr, 0);
  const uLong chunkSum = adler32(adler32(0, nullptr, 0),
                                 reinterpret_cast<const Bytef*>(zeros.data()), kChunk);
  for (std::uint64_t i = 0; i < chunks; ++i) checksum = adler32_combine(checksum, chunkSum, kChunk);
  checksum = adler32(checksum, reinterpret_cast<const Bytef*>(zeros.data()),
                     static_cast<uInt>(rest));
  for (int i = 0; i < 4; ++i)
    end[end.size() - 4 + i] = static_cast<char>(checksum >> (24 - 8 * i));
  return out + end;
}

}  // namespace testing
}  // namespace vellox

#endif  // VELLOX_TESTS_DEFLATE_H_

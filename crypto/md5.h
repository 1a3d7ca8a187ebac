#ifndef VELLOX_CRYPTO_MD5_H_
#define VELLOX_CRYPTO_MD5_H_

#include <array>
#include <cstddef>
#include <cstdint>

namespace vellox {
namespace crypto {

using Md5Digest = std::array<std::uint8_t, 16>;

// MD5 (RFC 1321), fed in pieces.
class Md5 {
 public:
  Md5();
  void Update(const void* data, std::size_t size);
  // The digest of everything fed; the object is spent afterwards.
  Md5Digest Finish();

 private:
  void Block(const std::uint8_t* block);

  std::uint32_t state[4];
  std::uint64_t length = 0;  // bytes fed
  std::uint8_t buffer[64];
  std::size_t buffered = 0;
};

Md5Digest Md5Of(const void* data, std::size_t size);

}  // namespace crypto
}  // namespace vellox

#endif  // VELLOX_CRYPTO_MD5_H_

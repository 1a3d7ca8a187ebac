#ifndef VELLOX_CRYPTO_RC4_H_
#define VELLOX_CRYPTO_RC4_H_

#include <cstddef>
#include <cstdint>

namespace vellox {
namespace crypto {

// RC4: its keystream XORed over the data, which encrypts and decrypts
// alike; each call goes on where the last one stopped.
class Rc4 {
 public:
  // `keyBytes` from 1 to 256.
  Rc4(const std::uint8_t* key, std::size_t keyBytes);
  void Apply(std::uint8_t* data, std::size_t size);

 private:
  std::uint8_t state[256];
  std::uint8_t i = 0;
  std::uint8_t j = 0;
};

}  // namespace crypto
}  // namespace vellox

#endif  // VELLOX_CRYPTO_RC4_H_

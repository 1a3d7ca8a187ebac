#ifndef VELLOX_CRYPTO_AES_H_
#define VELLOX_CRYPTO_AES_H_

#include <cstddef>
#include <cstdint>

namespace vellox {
namespace crypto {

// AES (FIPS 197) with a 128-, 192- or 256-bit key, a block at a time.
class Aes {
 public:
  static constexpr std::size_t kBlockBytes = 16;

  // `keyBytes` is 16, 24 or 32.
  Aes(const std::uint8_t* key, std::size_t keyBytes);

  void EncryptBlock(const std::uint8_t* in, std::uint8_t* out) const;
  void DecryptBlock(const std::uint8_t* in, std::uint8_t* out) const;

 private:
  int rounds;
  std::uint32_t encryptionKeys[60];
  std::uint32_t decryptionKeys[60];  // the equivalent inverse cipher's
};

// Cipher block chaining over whole blocks, in place: `size` is a multiple
// of 16.
void CbcEncrypt(const Aes& aes, const std::uint8_t* iv, std::uint8_t* data, std::size_t size);
void CbcDecrypt(const Aes& aes, const std::uint8_t* iv, std::uint8_t* data, std::size_t size);

}  // namespace crypto
}  // namespace vellox

#endif  // VELLOX_CRYPTO_AES_H_

#ifndef VELLOX_CRYPTO_SHA2_H_
#define VELLOX_CRYPTO_SHA2_H_

#include <array>
#include <cstddef>
#include <cstdint>

namespace vellox {
namespace crypto {

// SHA-256, SHA-384 and SHA-512 (FIPS 180-4) of whole messages.
std::array<std::uint8_t, 32> Sha256Of(const void* data, std::size_t size);
std::array<std::uint8_t, 48> Sha384Of(const void* data, std::size_t size);
std::array<std::uint8_t, 64> Sha512Of(const void* data, std::size_t size);

}  // namespace crypto
}  // namespace vellox

#endif  // VELLOX_CRYPTO_SHA2_H_

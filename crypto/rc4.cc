#include "crypto/rc4.h"

#include <utility>

namespace vellox {
namespace crypto {

Rc4::Rc4(const std::uint8_t* key, std::size_t keyBytes) {
  for (int n = 0; n < 256; ++n) state[n] = static_cast<std::uint8_t>(n);
  std::uint8_t k = 0;
  for (std::size_t n = 0; n < 256; ++n) {
    k = static_cast<std::uint8_t>(k + state[n] + key[n % keyBytes]);
    std::swap(state[n], state[k]);
  }
}

void Rc4::Apply(std::uint8_t* data, std::size_t size) {
  for (std::size_t n = 0; n < size; ++n) {
    i = static_cast<std::uint8_t>(i + 1);
    j = static_cast<std::uint8_t>(j + state[i]);
    std::swap(state[i], state[j]);
    data[n] ^= state[static_cast<std::uint8_t>(state[i] + state[j])];
  }
}

}  // namespace crypto
}  // namespace vellox

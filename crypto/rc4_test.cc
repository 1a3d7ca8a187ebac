#include "crypto/rc4.h"

#include <gtest/gtest.h>

#include <string>

#include "test_util.h"

namespace vellox {
namespace {

using testing::FromHex;
using testing::ToHex;

// RFC 6229's keystreams for a 40- and a 128-bit key, at some of its
// offsets, drawn in pieces of uneven size.
TEST(Rc4Test, TheRfcKeystreams) {
  const struct {
    const char* key;
    const char* at[6];  // offsets 0, 16, 240, 256, 4080, 4096
  } cases[] = {
      {"0102030405",
       {"b2396305f03dc027ccc3524a0a1118a8", "6982944f18fc82d589c403a47a0d0919",
        "28cb1132c96ce286421dcaadb8b69eae", "1cfcf62b03eddb641d77dfcf7f8d8c93",
        "068326a2118416d21f9d04b2cd1ca050", "ff25b58995996707e51fbdf08b34d875"}},
      {"0102030405060708090a0b0c0d0e0f10",
       {"9ac7cc9a609d1ef7b2932899cde41b97", "5248c4959014126a6e8a84f11d1a9e1c",
        "065902e4b620f6cc36c8589f66432f2b", "d39d566bc6bce3010768151549f3873f",
        "ff38265c1642c1abe8d3c2fe5e572bf8", "a36a4c301ae8ac13610ccbc12256cacc"}},
  };
  const std::size_t offsets[] = {0, 16, 240, 256, 4080, 4096};
  for (const auto& c : cases) {
    const std::string key = FromHex(c.key);
    crypto::Rc4 rc4(reinterpret_cast<const std::uint8_t*>(key.data()), key.size());
    std::string keystream(4112, '\0');  // zeros XORed with the keystream
    auto* bytes = reinterpret_cast<std::uint8_t*>(&keystream[0]);
    for (std::size_t at = 0, piece = 1; at < keystream.size(); at += piece, piece += 13)
      rc4.Apply(bytes + at, std::min(piece, keystream.size() - at));
    for (int i = 0; i < 6; ++i)
      EXPECT_EQ(ToHex(keystream.substr(offsets[i], 16)), c.at[i]) << c.key << " @" << offsets[i];
  }
}

}  // namespace
}  // namespace vellox

#include "crypto/md5.h"

#include <gtest/gtest.h>

#include <string>

#include "test_util.h"

namespace vellox {
namespace {

using testing::ToHex;

std::string Hex(const crypto::Md5Digest& digest) {
  return ToHex(std::string(digest.begin(), digest.end()));
}

// RFC 1321's test suite (A.5).
TEST(Md5Test, TheRfcTestSuite) {
  const struct {
    std::string message;
    const char* digest;
  } cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"1234567890123456789012345678901234567890123456789012345678901234567890123456789"
       "0",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Hex(crypto::Md5Of(c.message.data(), c.message.size())), c.digest) << c.message;
    // Fed in uneven pieces, across the 64-byte blocks.
    crypto::Md5 md5;
    for (std::size_t at = 0, piece = 1; at < c.message.size(); at += piece, piece += 7)
      md5.Update(c.message.data() + at, std::min(piece, c.message.size() - at));
    EXPECT_EQ(Hex(md5.Finish()), c.digest) << c.message;
  }
}

}  // namespace
}  // namespace vellox

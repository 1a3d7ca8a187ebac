#include "crypto/sha2.h"

#include <gtest/gtest.h>

#include <string>

#include "test_util.h"

namespace vellox {
namespace {

using testing::ToHex;

template <std::size_t N>
std::string Hex(const std::array<std::uint8_t, N>& digest) {
  return ToHex(std::string(digest.begin(), digest.end()));
}

// FIPS 180-4's examples (one block, two blocks) and NIST's million "a"s.
TEST(Sha2Test, TheStandardsExamples) {
  const std::string abc = "abc";
  const std::string twoBlocks256 = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
  const std::string twoBlocks512 =
      "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqr"
      "lmnopqrsmnopqrstnopqrstu";
  const std::string million(1000000, 'a');
  const struct {
    const char* name;
    std::string message;
    const char* sha256;
    const char* sha384;
    const char* sha512;
  } cases[] = {
      {"empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855",
       "38b060a751ac96384cd9327eb1b1e36a21fdb71114be07434c0cc7bf63f6e1da274edebfe76f65fbd51ad2f1"
       "4898b95b",
       "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce47d0d13c5d85f2b0ff8318d2"
       "877eec2f63b931bd47417a81a538327af927da3e"},
      {"abc", abc, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad",
       "cb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a43ff5bed8086072ba1e7cc2358baeca1"
       "34c825a7",
       "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23"
       "a3feebbd454d4423643ce80e2a9ac94fa54ca49f"},
      {"448 bits", twoBlocks256,
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1", nullptr, nullptr},
      {"896 bits", twoBlocks512, nullptr,
       "09330c33f71147e83d192fc782cd1b4753111b173b3b05d22fa08086e3b0f712fcc7c71a557e2db966c3e9fa"
       "91746039",
       "8e959b75dae313da8cf4f72814fc143f8f7779c6eb9f7fa17299aeadb6889018501d289e4900f7e4331b99de"
       "c4b5433ac7d329eeb6dd26545e96e55b874be909"},
      {"a million a", million, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0",
       "9d0e1809716474cb086e834e310a4a1ced149e9c00f248527972cec5704c2a5b07b8b3dc38ecc4ebae97ddd8"
       "7f3d8985",
       "e718483d0ce769644e2e42c7bc15b4638e1f98b13b2044285632a803afa973ebde0ff244877ea60a4cb0432c"
       "e577c31beb009c5c2c49aa2e4eadb217ad8cc09b"},
  };
  for (const auto& c : cases) {
    const void* data = c.message.data();
    const std::size_t size = c.message.size();
    if (c.sha256 != nullptr) {
      EXPECT_EQ(Hex(crypto::Sha256Of(data, size)), c.sha256) << c.name;
    }
    if (c.sha384 != nullptr) {
      EXPECT_EQ(Hex(crypto::Sha384Of(data, size)), c.sha384) << c.name;
    }
    if (c.sha512 != nullptr) {
      EXPECT_EQ(Hex(crypto::Sha512Of(data, size)), c.sha512) << c.name;
    }
  }
}

}  // namespace
}  // namespace vellox

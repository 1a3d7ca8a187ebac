#include "crypto/aes.h"

#include <gtest/gtest.h>

#include <string>

#include "test_util.h"

namespace vellox {
namespace {

using testing::FromHex;
using testing::ToHex;

const std::uint8_t* Data(const std::string& bytes) {
  return reinterpret_cast<const std::uint8_t*>(bytes.data());
}

std::uint8_t* Data(std::string* bytes) { return reinterpret_cast<std::uint8_t*>(&(*bytes)[0]); }

// FIPS 197's examples (appendix C), one block each way.
TEST(AesTest, TheStandardsBlocks) {
  const std::string plain = FromHex("00112233445566778899aabbccddeeff");
  const struct {
    const char* key;
    const char* cipher;
  } cases[] = {
      {"000102030405060708090a0b0c0d0e0f", "69c4e0d86a7b0430d8cdb78070b4c55a"},
      {"000102030405060708090a0b0c0d0e0f1011121314151617", "dda97ca4864cdfe06eaf70a0ec0d7191"},
      {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
       "8ea2b7ca516745bfeafc49904b496089"},
  };
  for (const auto& c : cases) {
    const std::string key = FromHex(c.key);
    const crypto::Aes aes(Data(key), key.size());
    std::string block(16, '\0');
    aes.EncryptBlock(Data(plain), Data(&block));
    EXPECT_EQ(ToHex(block), c.cipher) << c.key;
    aes.DecryptBlock(Data(block), Data(&block));  // in place
    EXPECT_EQ(block, plain) << c.key;
  }
}

// NIST SP 800-38A's CBC examples (F.2.1, F.2.5): four blocks chained.
TEST(AesTest, CipherBlockChaining) {
  const std::string iv = FromHex("000102030405060708090a0b0c0d0e0f");
  const std::string plain = FromHex(
      "6bc1bee22e409f96e93d7e117393172a ae2d8a571e03ac9c9eb76fac45af8e51"
      "30c81c46a35ce411e5fbc1191a0a52ef f69f2445df4f9b17ad2b417be66c3710");
  const struct {
    const char* key;
    const char* cipher;
  } cases[] = {
      {"2b7e151628aed2a6abf7158809cf4f3c",
       "7649abac8119b246cee98e9b12e9197d 5086cb9b507219ee95db113a917678b2"
       "73bed6b8e3c1743b7116e69e22229516 3ff1caa1681fac09120eca307586e1a7"},
      {"603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4",
       "f58c4c04d6e5f1ba779eabfb5f7bfbd6 9cfc4e967edb808d679f777bc6702c7d"
       "39f23369a9d9bacfa530e26304231461 b2eb05e2c39be9fcda6c19078c6a9d1b"},
  };
  for (const auto& c : cases) {
    const std::string key = FromHex(c.key);
    const crypto::Aes aes(Data(key), key.size());
    std::string data = plain;
    crypto::CbcEncrypt(aes, Data(iv), Data(&data), data.size());
    EXPECT_EQ(data, FromHex(c.cipher)) << c.key;
    crypto::CbcDecrypt(aes, Data(iv), Data(&data), data.size());
    EXPECT_EQ(data, plain) << c.key;
  }
}

}  // namespace
}  // namespace vellox

#include "crypto/aes.h"

#include <array>
#include <cstring>

namespace vellox {
namespace crypto {
namespace {

// Arithmetic in GF(2^8) modulo x^8 + x^4 + x^3 + x + 1.
constexpr std::uint8_t Times2(std::uint8_t x) {
  return static_cast<std::uint8_t>((x << 1) ^ ((x & 0x80) != 0 ? 0x1b : 0));
}

constexpr std::uint8_t Multiply(std::uint8_t a, std::uint8_t b) {
  std::uint8_t product = 0;
  for (; b != 0; b = static_cast<std::uint8_t>(b >> 1), a = Times2(a))
    if ((b & 1) != 0) product = static_cast<std::uint8_t>(product ^ a);
  return product;
}

constexpr std::uint8_t RotateByte(std::uint8_t x, int n) {
  return static_cast<std::uint8_t>((x << n) | (x >> (8 - n)));
}

constexpr std::uint32_t RotateRight(std::uint32_t x, int n) {
  return n == 0 ? x : (x >> n) | (x << (32 - n));
}

constexpr std::uint32_t Word(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
  return std::uint32_t{a} << 24 | std::uint32_t{b} << 16 | std::uint32_t{c} << 8 | d;
}

// The S-box, its inverse and the round tables (each round's SubBytes,
// ShiftRows and MixColumns as four look-ups a column), worked out when
// compiling.
struct Tables {
  std::array<std::uint8_t, 256> sbox{};
  std::array<std::uint8_t, 256> inverse{};
  std::array<std::array<std::uint32_t, 256>, 4> encrypt{};
  std::array<std::array<std::uint32_t, 256>, 4> decrypt{};
};

constexpr Tables MakeTables() {
  Tables t;
  // Powers of the generator 3 and their logarithms give the inverses.
  std::array<std::uint8_t, 255> power{};
  std::array<std::uint8_t, 256> logarithm{};
  std::uint8_t p = 1;
  for (int i = 0; i < 255; ++i) {
    power[i] = p;
    logarithm[p] = static_cast<std::uint8_t>(i);
    p = static_cast<std::uint8_t>(Times2(p) ^ p);
  }
  for (int x = 0; x < 256; ++x) {
    const std::uint8_t inverse = x == 0 ? 0 : power[(255 - logarithm[x]) % 255];
    const std::uint8_t s = static_cast<std::uint8_t>(inverse ^ RotateByte(inverse, 1) ^
                                                     RotateByte(inverse, 2) ^
                                                     RotateByte(inverse, 3) ^
                                                     RotateByte(inverse, 4) ^ 0x63);
    t.sbox[x] = s;
    t.inverse[s] = static_cast<std::uint8_t>(x);
  }
  for (int x = 0; x < 256; ++x) {
    const std::uint8_t s = t.sbox[x];
    const std::uint8_t i = t.inverse[x];
    const std::uint32_t e = Word(Times2(s), s, s, static_cast<std::uint8_t>(Times2(s) ^ s));
    const std::uint32_t d = Word(Multiply(i, 14), Multiply(i, 9), Multiply(i, 13), Multiply(i, 11));
    for (int r = 0; r < 4; ++r) {
      t.encrypt[r][x] = RotateRight(e, 8 * r);
      t.decrypt[r][x] = RotateRight(d, 8 * r);
    }
  }
  return t;
}

constexpr Tables kTables = MakeTables();

std::uint32_t SubWord(std::uint32_t w) {
  const auto& s = kTables.sbox;
  return Word(s[w >> 24], s[(w >> 16) & 0xff], s[(w >> 8) & 0xff], s[w & 0xff]);
}

std::uint32_t Load(const std::uint8_t* p) { return Word(p[0], p[1], p[2], p[3]); }

void Store(std::uint32_t w, std::uint8_t* p) {
  p[0] = static_cast<std::uint8_t>(w >> 24);
  p[1] = static_cast<std::uint8_t>(w >> 16);
  p[2] = static_cast<std::uint8_t>(w >> 8);
  p[3] = static_cast<std::uint8_t>(w);
}

// One round's look-ups: bytes of the state's columns a, b, c, d, from the
// high byte down.
inline std::uint32_t Round(const std::array<std::array<std::uint32_t, 256>, 4>& table,
                           std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return table[0][a >> 24] ^ table[1][(b >> 16) & 0xff] ^ table[2][(c >> 8) & 0xff] ^
         table[3][d & 0xff];
}

inline std::uint32_t LastRound(const std::array<std::uint8_t, 256>& box, std::uint32_t a,
                               std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return Word(box[a >> 24], box[(b >> 16) & 0xff], box[(c >> 8) & 0xff], box[d & 0xff]);
}

}  // namespace

Aes::Aes(const std::uint8_t* key, std::size_t keyBytes) {
  const int words = static_cast<int>(keyBytes / 4);  // 4, 6 or 8
  rounds = words + 6;
  const int total = 4 * (rounds + 1);
  for (int i = 0; i < words; ++i) encryptionKeys[i] = Load(key + 4 * i);
  std::uint8_t rcon = 1;
  for (int i = words; i < total; ++i) {
    std::uint32_t w = encryptionKeys[i - 1];
    if (i % words == 0) {
      w = SubWord((w << 8) | (w >> 24)) ^ (std::uint32_t{rcon} << 24);
      rcon = Times2(rcon);
    } else if (words > 6 && i % words == 4) {
      w = SubWord(w);
    }
    encryptionKeys[i] = encryptionKeys[i - words] ^ w;
  }
  // The round keys in reverse, the inner ones through InvMixColumns.
  const auto& s = kTables.sbox;
  for (int round = 0; round <= rounds; ++round) {
    for (int column = 0; column < 4; ++column) {
      const std::uint32_t w = encryptionKeys[4 * (rounds - round) + column];
      decryptionKeys[4 * round + column] =
          round == 0 || round == rounds
              ? w
              : kTables.decrypt[0][s[w >> 24]] ^ kTables.decrypt[1][s[(w >> 16) & 0xff]] ^
                    kTables.decrypt[2][s[(w >> 8) & 0xff]] ^ kTables.decrypt[3][s[w & 0xff]];
    }
  }
}

void Aes::EncryptBlock(const std::uint8_t* in, std::uint8_t* out) const {
  const std::uint32_t* k = encryptionKeys;
  std::uint32_t s0 = Load(in) ^ k[0], s1 = Load(in + 4) ^ k[1];
  std::uint32_t s2 = Load(in + 8) ^ k[2], s3 = Load(in + 12) ^ k[3];
  const auto& t = kTables.encrypt;
  for (int round = 1; round < rounds; ++round) {
    k += 4;
    const std::uint32_t t0 = Round(t, s0, s1, s2, s3) ^ k[0];
    const std::uint32_t t1 = Round(t, s1, s2, s3, s0) ^ k[1];
    const std::uint32_t t2 = Round(t, s2, s3, s0, s1) ^ k[2];
    const std::uint32_t t3 = Round(t, s3, s0, s1, s2) ^ k[3];
    s0 = t0, s1 = t1, s2 = t2, s3 = t3;
  }
  k += 4;
  const auto& box = kTables.sbox;
  Store(LastRound(box, s0, s1, s2, s3) ^ k[0], out);
  Store(LastRound(box, s1, s2, s3, s0) ^ k[1], out + 4);
  Store(LastRound(box, s2, s3, s0, s1) ^ k[2], out + 8);
  Store(LastRound(box, s3, s0, s1, s2) ^ k[3], out + 12);
}

void Aes::DecryptBlock(const std::uint8_t* in, std::uint8_t* out) const {
  const std::uint32_t* k = decryptionKeys;
  std::uint32_t s0 = Load(in) ^ k[0], s1 = Load(in + 4) ^ k[1];
  std::uint32_t s2 = Load(in + 8) ^ k[2], s3 = Load(in + 12) ^ k[3];
  const auto& t = kTables.decrypt;
  for (int round = 1; round < rounds; ++round) {
    k += 4;
    const std::uint32_t t0 = Round(t, s0, s3, s2, s1) ^ k[0];
    const std::uint32_t t1 = Round(t, s1, s0, s3, s2) ^ k[1];
    const std::uint32_t t2 = Round(t, s2, s1, s0, s3) ^ k[2];
    const std::uint32_t t3 = Round(t, s3, s2, s1, s0) ^ k[3];
    s0 = t0, s1 = t1, s2 = t2, s3 = t3;
  }
  k += 4;
  const auto& box = kTables.inverse;
  Store(LastRound(box, s0, s3, s2, s1) ^ k[0], out);
  Store(LastRound(box, s1, s0, s3, s2) ^ k[1], out + 4);
  Store(LastRound(box, s2, s1, s0, s3) ^ k[2], out + 8);
  Store(LastRound(box, s3, s2, s1, s0) ^ k[3], out + 12);
}

void CbcEncrypt(const Aes& aes, const std::uint8_t* iv, std::uint8_t* data, std::size_t size) {
  const std::uint8_t* previous = iv;
  for (std::size_t at = 0; at + Aes::kBlockBytes <= size; at += Aes::kBlockBytes) {
    std::uint8_t* block = data + at;
    for (std::size_t i = 0; i < Aes::kBlockBytes; ++i) block[i] ^= previous[i];
    aes.EncryptBlock(block, block);
    previous = block;
  }
}

void CbcDecrypt(const Aes& aes, const std::uint8_t* iv, std::uint8_t* data, std::size_t size) {
  std::uint8_t previous[Aes::kBlockBytes];
  std::uint8_t stored[Aes::kBlockBytes];
  std::memcpy(previous, iv, Aes::kBlockBytes);
  for (std::size_t at = 0; at + Aes::kBlockBytes <= size; at += Aes::kBlockBytes) {
    std::uint8_t* block = data + at;
    std::memcpy(stored, block, Aes::kBlockBytes);
    aes.DecryptBlock(block, block);
    for (std::size_t i = 0; i < Aes::kBlockBytes; ++i) block[i] ^= previous[i];
    std::memcpy(previous, stored, Aes::kBlockBytes);
  }
}

}  // namespace crypto
}  // namespace vellox

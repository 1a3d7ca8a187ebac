#include "builtin_reader/standard_security.h"

#include <array>
#include <cstring>

#include "crypto/aes.h"
#include "crypto/md5.h"
#include "crypto/rc4.h"
#include "crypto/sha2.h"

namespace vellox {
namespace pdf {
namespace {

// What a password shorter than 32 bytes is padded with; the empty one is
// this whole.
constexpr std::uint8_t kPadding[32] = {
    0x28, 0xBF, 0x4E, 0x5E, 0x4E, 0x75, 0x8A, 0x41, 0x64, 0x00, 0x4E, 0x56, 0xFF, 0xFA, 0x01, 0x08,
    0x2E, 0x2E, 0x00, 0xB6, 0xD0, 0x68, 0x3E, 0x80, 0x2F, 0x0C, 0xA9, 0xFE, 0x64, 0x53, 0x69, 0x7A};

const std::uint8_t* Bytes(const std::string& s) {
  return reinterpret_cast<const std::uint8_t*>(s.data());
}

std::uint8_t* Bytes(std::string* s) { return reinterpret_cast<std::uint8_t*>(&(*s)[0]); }

template <std::size_t N>
std::string AsString(const std::array<std::uint8_t, N>& digest) {
  return std::string(digest.begin(), digest.end());
}

// Revisions 2 to 4: the RC4 key of the padded 32-byte `password`.
std::string KeyOfPassword(const StandardSecurity& s, const std::uint8_t* password) {
  crypto::Md5 md5;
  md5.Update(password, 32);
  md5.Update(s.owner.data(), 32);
  const std::uint8_t permissions[4] = {static_cast<std::uint8_t>(s.permissions),
                                       static_cast<std::uint8_t>(s.permissions >> 8),
                                       static_cast<std::uint8_t>(s.permissions >> 16),
                                       static_cast<std::uint8_t>(s.permissions >> 24)};
  md5.Update(permissions, 4);
  md5.Update(s.fileId.data(), s.fileId.size());
  if (s.revision >= 4 && !s.encryptMetadata) {
    const std::uint8_t unencryptedMetadata[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    md5.Update(unencryptedMetadata, 4);
  }
  crypto::Md5Digest digest = md5.Finish();
  const std::size_t n = s.revision == 2 ? 5 : s.keyBytes;
  if (s.revision >= 3)
    for (int i = 0; i < 50; ++i) digest = crypto::Md5Of(digest.data(), n);
  return std::string(digest.begin(), digest.begin() + static_cast<std::ptrdiff_t>(n));
}

// RC4 over `data` with `key`, then (revision 3 and up) 19 times more with
// the key's bytes XORed with 1, 2, ... 19; or in the reverse order.
void Rc4Rounds(const StandardSecurity& s, const std::string& key, bool reverse, std::uint8_t* data,
               std::size_t size) {
  if (s.revision == 2) {
    crypto::Rc4(Bytes(key), key.size()).Apply(data, size);
    return;
  }
  std::string roundKey = key;
  for (int round = 0; round < 20; ++round) {
    const int x = reverse ? 19 - round : round;
    for (std::size_t i = 0; i < key.size(); ++i)
      roundKey[i] = static_cast<char>(static_cast<std::uint8_t>(key[i]) ^ x);
    crypto::Rc4(Bytes(roundKey), roundKey.size()).Apply(data, size);
  }
}

// Revisions 2 to 4: whether `key` makes the /U entry, as the user
// password's key does.
bool MakesUser(const StandardSecurity& s, const std::string& key) {
  if (s.revision == 2) {
    std::uint8_t made[32];
    std::memcpy(made, kPadding, 32);
    Rc4Rounds(s, key, false, made, 32);
    return std::memcmp(made, s.user.data(), 32) == 0;
  }
  crypto::Md5 md5;
  md5.Update(kPadding, 32);
  md5.Update(s.fileId.data(), s.fileId.size());
  crypto::Md5Digest made = md5.Finish();
  Rc4Rounds(s, key, false, made.data(), made.size());
  return std::memcmp(made.data(), s.user.data(), 16) == 0;
}

// Revisions 2 to 4: the padded user password that /O holds, encrypted
// with the empty owner password's key.
std::string UserPasswordInOwner(const StandardSecurity& s) {
  crypto::Md5Digest digest = crypto::Md5Of(kPadding, 32);
  if (s.revision >= 3)
    for (int i = 0; i < 50; ++i) digest = crypto::Md5Of(digest.data(), digest.size());
  const std::size_t n = s.revision == 2 ? 5 : s.keyBytes;
  const std::string key(digest.begin(), digest.begin() + static_cast<std::ptrdiff_t>(n));
  std::string password = s.owner.substr(0, 32);
  Rc4Rounds(s, key, true, Bytes(&password), password.size());
  return password;
}

// Revisions 5 and 6: the hash of the empty password with an 8-byte `salt`
// and `userEntry` (the 48 bytes of /U for the owner password, else none).
std::string PasswordHash(int revision, const std::string& salt, const std::string& userEntry) {
  const std::string input = salt + userEntry;
  std::string k = AsString(crypto::Sha256Of(input.data(), input.size()));
  if (revision == 5) return k;

  // Revision 6 hardens it: rounds of AES and SHA-2 over the key, at least
  // 64, then until the last byte of a round's data is no greater than the
  // round's number less 32. That byte is at most 255: 287 rounds at most.
  std::string data;
  for (int round = 0;; ++round) {
    const std::string once = k + userEntry;
    data.clear();
    for (int i = 0; i < 64; ++i) data += once;
    const crypto::Aes aes(Bytes(k), 16);
    crypto::CbcEncrypt(aes, Bytes(k) + 16, Bytes(&data), data.size());
    unsigned sum = 0;
    for (int i = 0; i < 16; ++i) sum += static_cast<std::uint8_t>(data[i]);
    switch (sum % 3) {
      case 0: k = AsString(crypto::Sha256Of(data.data(), data.size())); break;
      case 1: k = AsString(crypto::Sha384Of(data.data(), data.size())); break;
      default: k = AsString(crypto::Sha512Of(data.data(), data.size())); break;
    }
    if (round >= 63 && static_cast<std::uint8_t>(data.back()) <= round - 31) break;
  }
  return k.substr(0, 32);
}

// Revisions 5 and 6: the file key when the empty password matches
// `entry` (/U or /O), decrypted from `keyEntry` (/UE or /OE).
bool KeyFromEntry(const StandardSecurity& s, const std::string& entry, const std::string& keyEntry,
                  const std::string& userEntry, std::string* key) {
  const std::string hash = PasswordHash(s.revision, entry.substr(32, 8), userEntry);
  if (std::memcmp(hash.data(), entry.data(), 32) != 0) return false;
  const std::string intermediate = PasswordHash(s.revision, entry.substr(40, 8), userEntry);
  const crypto::Aes aes(Bytes(intermediate), 32);
  const std::uint8_t zeros[16] = {};
  std::string fileKey = keyEntry.substr(0, 32);
  crypto::CbcDecrypt(aes, zeros, Bytes(&fileKey), fileKey.size());
  *key = fileKey;
  return true;
}

}  // namespace

bool FileKeyWithoutPassword(const StandardSecurity& s, std::string* key) {
  if (s.revision >= 5) {
    if (s.revision > 6 || s.user.size() < 48 || s.owner.size() < 48 || s.userKey.size() < 32 ||
        s.ownerKey.size() < 32)
      return false;
    const std::string user = s.user.substr(0, 48);
    return KeyFromEntry(s, user, s.userKey, "", key) ||
           KeyFromEntry(s, s.owner, s.ownerKey, user, key);
  }
  if (s.revision < 2 || s.user.size() < 32 || s.owner.size() < 32 || s.keyBytes < 5 ||
      s.keyBytes > 16)
    return false;
  std::string candidate = KeyOfPassword(s, kPadding);
  if (!MakesUser(s, candidate)) {
    const std::string userPassword = UserPasswordInOwner(s);
    candidate = KeyOfPassword(s, Bytes(userPassword));
    if (!MakesUser(s, candidate)) return false;
  }
  *key = candidate;
  return true;
}

}  // namespace pdf
}  // namespace vellox

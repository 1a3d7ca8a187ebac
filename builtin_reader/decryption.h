#ifndef VELLOX_BUILTIN_READER_DECRYPTION_H_
#define VELLOX_BUILTIN_READER_DECRYPTION_H_

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "pdf/object.h"
#include "pdf/object_source.h"

namespace vellox {
namespace pdf {

// How a crypt filter decrypts.
enum class CryptMethod : std::uint8_t { kNone, kRc4, kAes128, kAes256 };

// An encrypted file's strings and streams as the document means them: the
// standard security handler (revisions 2 to 6) opened with the empty
// password. Each object is decrypted with its own key (its number and
// generation in it, up to revision 4) when it is read, and nothing else.
class Decryption {
 public:
  // The decryption the trailer's /Encrypt entry asks for; null when it has
  // none. `objects` resolves the dictionary's references: nothing it reads
  // is decrypted yet. Throws ReadError: kEncrypted for a file that needs a
  // password and for a handler or method this reader lacks ("encrypted
  // with ..."), kDamaged for a malformed dictionary.
  static std::unique_ptr<Decryption> Open(const Object& trailer, ObjectSource* objects);

  // Decrypts strings and streams by these methods, with `fileKey` (what
  // Open works out from the dictionary and the password).
  Decryption(std::string fileKey, CryptMethod strings, CryptMethod streams)
      : fileKey(std::move(fileKey)), strings(strings), streams(streams) {}

  // `value`, object `id` as stored, with its strings decrypted (the
  // encryption dictionary's own stay as they are).
  Object DecryptStrings(ObjectId id, const Object& value) const;

  // The data of stream `id`, `dictionary`, decrypted. A /Crypt filter
  // leading its resolved `filter` names the stream's own method; it is
  // taken off `filter` and `parameters`, which then name the decoding
  // left to do. Cross-reference streams (and metadata streams left in
  // the clear) are not decrypted. The bytes decrypted count against
  // kMaxDecryptedBytesPerDocument.
  std::string DecryptStream(ObjectId id, const Object& dictionary, Object* filter,
                            Object* parameters, std::string data);

 private:
  // A crypt filter of /CF, for /StmF, /StrF and streams that name one.
  struct NamedFilter {
    std::string name;
    std::string methodName;  // its /CFM
    bool known = false;      // whether `method` is what /CFM names
    CryptMethod method = CryptMethod::kNone;
  };

  // An object's key for `method`.
  struct ObjectKey {
    std::uint8_t bytes[32];
    std::size_t size;
  };
  ObjectKey KeyFor(CryptMethod method, ObjectId id) const;
  // `data` of object `id` decrypted by `method` (not kNone) with `key`.
  std::string Decrypt(CryptMethod method, const ObjectKey& key, ObjectId id,
                      std::string data) const;
  // The method of the crypt filter `name` names (/Identity: none).
  static CryptMethod NamedMethod(const std::vector<NamedFilter>& filters, const Object& name);

  std::string fileKey;
  CryptMethod strings;
  CryptMethod streams;
  std::vector<NamedFilter> namedFilters;
  bool encryptMetadata = true;
  bool dictionaryIsObject = false;
  ObjectId dictionaryObject;
  std::uint64_t decryptedBytes = 0;
};

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_BUILTIN_READER_DECRYPTION_H_

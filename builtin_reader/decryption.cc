#include "builtin_reader/decryption.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "builtin_reader/indirect_object.h"
#include "builtin_reader/standard_security.h"
#include "crypto/aes.h"
#include "crypto/md5.h"
#include "crypto/rc4.h"
#include "pdf/budgets.h"

namespace vellox {
namespace pdf {
namespace {

// A security handler, method or version this reader does not implement:
// the fallback reader may.
[[noreturn]] void NotSupported(const std::string& what) {
  throw ReadError(ReadFault::kEncrypted, "encrypted with " + what + ", which is not supported");
}

// A crypt filter's method by its /CFM; false for one this reader lacks.
bool MethodOf(const Object& cfm, CryptMethod* method) {
  if (cfm.IsNull() || cfm.IsName("None")) {
    *method = CryptMethod::kNone;
  } else if (cfm.IsName("V2")) {
    *method = CryptMethod::kRc4;
  } else if (cfm.IsName("AESV2")) {
    *method = CryptMethod::kAes128;
  } else if (cfm.IsName("AESV3")) {
    *method = CryptMethod::kAes256;
  } else {
    return false;
  }
  return true;
}

// `value` with `decrypt` applied to its strings; `*changed` tells whether
// it held any. Copies share what holds none.
template <typename Decrypt>
Object WithStrings(const Object& value, const Decrypt& decrypt, bool* changed) {
  *changed = false;
  if (value.IsString()) {
    *changed = true;
    return Object::String(decrypt(value.Text()));
  }
  if (value.IsArray()) {
    const Array& items = value.Items();
    Array copy;
    for (std::size_t i = 0; i < items.size(); ++i) {
      bool itemChanged;
      Object item = WithStrings(items[i], decrypt, &itemChanged);
      if (itemChanged && !*changed) {
        *changed = true;
        copy.assign(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(i));
      }
      if (*changed) copy.push_back(std::move(item));
    }
    return *changed ? Object::MakeArray(std::move(copy)) : value;
  }
  if (value.IsDictionary()) {
    const Dictionary& entries = value.Entries();
    Dictionary copy;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      bool entryChanged;
      Object entry = WithStrings(entries[i].second, decrypt, &entryChanged);
      if (entryChanged && !*changed) {
        *changed = true;
        copy.assign(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(i));
      }
      if (*changed) copy.emplace_back(entries[i].first, std::move(entry));
    }
    return *changed ? Object::MakeDictionary(std::move(copy), value.IsStream()) : value;
  }
  return value;
}

}  // namespace

std::unique_ptr<Decryption> Decryption::Open(const Object& trailer, ObjectSource* objects) {
  const Object& reference = trailer.Get("Encrypt");
  if (reference.IsNull()) return nullptr;
  const Object encrypt = objects->Resolve(reference);
  if (!encrypt.IsDictionary()) Damaged("/Encrypt is not a dictionary");
  auto entry = [&](const char* key) { return objects->Resolve(encrypt.Get(key)); };
  auto integer = [&](const char* key, std::int64_t fallback) {
    const Object value = entry(key);
    if (value.IsNull()) return fallback;
    if (!value.IsInteger()) Damaged(std::string("the encryption dictionary's /") + key +
                                    " is not an integer");
    return value.IntegerValue();
  };

  const Object filter = entry("Filter");
  if (!filter.IsName()) Damaged("the encryption dictionary names no security handler");
  if (!filter.IsName("Standard")) NotSupported("the " + filter.Text() + " security handler");
  const std::int64_t version = integer("V", 0);
  const std::int64_t revision = integer("R", 0);
  if (version != 1 && version != 2 && version != 4 && version != 5)
    NotSupported("/V " + std::to_string(version));
  if (revision < 2 || revision > 6) NotSupported("/R " + std::to_string(revision));
  if ((version == 5) != (revision >= 5))
    Damaged("/V " + std::to_string(version) + " with /R " + std::to_string(revision));

  StandardSecurity security;
  security.revision = static_cast<int>(revision);
  std::int64_t keyBits = 40;
  if (version == 5) {
    keyBits = 256;
  } else if (version >= 2) {
    keyBits = integer("Length", version == 4 ? 128 : 40);
    // Some writers give bytes.
    if (keyBits >= 5 && keyBits <= 16) keyBits *= 8;
    if (keyBits < 40 || keyBits > 128 || keyBits % 8 != 0)
      Damaged("a key of /Length " + std::to_string(keyBits));
  }
  security.keyBytes = revision == 2 ? 5 : static_cast<std::size_t>(keyBits / 8);

  auto bytes = [&](const char* key, std::size_t least) {
    const Object value = entry(key);
    if (!value.IsString() || value.Text().size() < least)
      Damaged(std::string("the encryption dictionary's /") + key + " is not a string of " +
              std::to_string(least) + " bytes");
    return value.Text();
  };
  const std::size_t hashBytes = revision >= 5 ? 48 : 32;
  security.owner = bytes("O", hashBytes);
  security.user = bytes("U", hashBytes);
  if (revision >= 5) {
    security.ownerKey = bytes("OE", 32);
    security.userKey = bytes("UE", 32);
  }
  const Object permissions = entry("P");
  if (!permissions.IsInteger()) Damaged("the encryption dictionary has no /P");
  security.permissions = static_cast<std::uint32_t>(permissions.IntegerValue());
  security.encryptMetadata = !entry("EncryptMetadata").IsBoolean() ||
                             entry("EncryptMetadata").BooleanValue();
  const Object fileId = objects->Resolve(objects->Resolve(trailer.Get("ID")).At(0));
  if (fileId.IsString()) security.fileId = fileId.Text();

  // The methods: one for every string and stream up to /V 2; from /V 4
  // the crypt filters /StrF and /StmF name, each of which a stream may
  // override.
  std::vector<NamedFilter> namedFilters;
  for (const auto& named : entry("CF").Entries()) {
    NamedFilter filter;
    filter.name = named.first;
    const Object cfm = objects->Resolve(objects->Resolve(named.second).Get("CFM"));
    filter.methodName = cfm.IsName() ? cfm.Text() : "?";
    filter.known = MethodOf(cfm, &filter.method);
    namedFilters.push_back(std::move(filter));
  }
  CryptMethod strings = CryptMethod::kRc4;
  CryptMethod streams = CryptMethod::kRc4;
  if (version >= 4) {
    strings = NamedMethod(namedFilters, entry("StrF"));
    streams = NamedMethod(namedFilters, entry("StmF"));
  }
  // The methods must fit the key: AES-256 the 32 bytes of /V 5, the
  // others the shorter keys their object keys are made from.
  for (CryptMethod method : {strings, streams}) {
    const bool fits =
        method == CryptMethod::kNone ||
        (method == CryptMethod::kAes256
             ? version == 5
             : version < 5 && (method != CryptMethod::kAes128 || security.keyBytes + 5 >= 16));
    if (!fits) Damaged("a crypt filter's method does not fit /V " + std::to_string(version));
  }

  std::string fileKey;
  if (!FileKeyWithoutPassword(security, &fileKey)) {
    if (revision <= 4 && !fileId.IsString())
      Damaged("the trailer has no /ID, which the encryption key is made from");
    throw ReadError(ReadFault::kEncrypted, "needs a password");
  }
  std::unique_ptr<Decryption> decryption(new Decryption(std::move(fileKey), strings, streams));
  decryption->namedFilters = std::move(namedFilters);
  decryption->encryptMetadata = security.encryptMetadata;
  decryption->dictionaryIsObject = reference.IsReference();
  decryption->dictionaryObject = reference.Id();
  return decryption;
}

CryptMethod Decryption::NamedMethod(const std::vector<NamedFilter>& filters,
                                    const Object& name) {
  if (name.IsNull() || name.IsName("Identity")) return CryptMethod::kNone;
  if (!name.IsName()) Damaged("a crypt filter's name is not a name");
  for (const NamedFilter& filter : filters) {
    if (filter.name != name.Text()) continue;
    if (!filter.known) NotSupported("the crypt filter method " + filter.methodName);
    return filter.method;
  }
  Damaged("no crypt filter /" + name.Text() + " in /CF");
}

Object Decryption::DecryptStrings(ObjectId id, const Object& value) const {
  if (strings == CryptMethod::kNone || (dictionaryIsObject && id == dictionaryObject)) return value;
  // The object's key is made once, at its first string.
  std::optional<ObjectKey> key;
  bool changed;
  return WithStrings(value,
                     [&](const std::string& text) {
                       if (!key) key = KeyFor(strings, id);
                       return Decrypt(strings, *key, id, text);
                     },
                     &changed);
}

std::string Decryption::DecryptStream(ObjectId id, const Object& dictionary, Object* filter,
                                      Object* parameters, std::string data) {
  CryptMethod method = streams;
  const Object& type = dictionary.Get("Type");
  if (type.IsName("XRef") || (!encryptMetadata && type.IsName("Metadata")))
    method = CryptMethod::kNone;
  if (filter->IsName("Crypt") || filter->At(0).IsName("Crypt")) {
    const Object own = parameters->IsArray() ? parameters->At(0) : *parameters;
    method = NamedMethod(namedFilters, own.Get("Name"));
    if (filter->IsArray()) {
      *filter = Object::MakeArray(Array(filter->Items().begin() + 1, filter->Items().end()));
      if (parameters->Size() > 0)
        *parameters = Object::MakeArray(Array(parameters->Items().begin() + 1,
                                              parameters->Items().end()));
    } else {
      *filter = Object();
      *parameters = Object();
    }
  }
  if (method == CryptMethod::kNone) return data;
  if (data.size() > kMaxDecryptedBytesPerDocument - decryptedBytes)
    OverLimit("the document's decrypted streams exceed", Mebibytes(kMaxDecryptedBytesPerDocument));
  decryptedBytes += data.size();
  return Decrypt(method, KeyFor(method, id), id, std::move(data));
}

Decryption::ObjectKey Decryption::KeyFor(CryptMethod method, ObjectId id) const {
  // Up to revision 4 each object has a key of its own: the file key, the
  // object's number and generation (and for AES a salt), hashed.
  ObjectKey key;
  key.size = fileKey.size();
  if (method == CryptMethod::kAes256) {
    std::memcpy(key.bytes, fileKey.data(), key.size);
    return key;
  }
  std::uint8_t input[16 + 5 + 4];
  std::memcpy(input, fileKey.data(), key.size);
  const std::uint8_t extra[9] = {static_cast<std::uint8_t>(id.number),
                                 static_cast<std::uint8_t>(id.number >> 8),
                                 static_cast<std::uint8_t>(id.number >> 16),
                                 static_cast<std::uint8_t>(id.generation),
                                 static_cast<std::uint8_t>(id.generation >> 8),
                                 's', 'A', 'l', 'T'};
  const std::size_t extraBytes = method == CryptMethod::kAes128 ? 9 : 5;
  std::memcpy(input + key.size, extra, extraBytes);
  const crypto::Md5Digest digest = crypto::Md5Of(input, key.size + extraBytes);
  key.size = std::min<std::size_t>(key.size + 5, 16);
  std::memcpy(key.bytes, digest.data(), key.size);
  return key;
}

std::string Decryption::Decrypt(CryptMethod method, const ObjectKey& key, ObjectId id,
                                std::string data) const {
  auto* bytes = reinterpret_cast<std::uint8_t*>(&data[0]);
  if (method == CryptMethod::kRc4) {
    crypto::Rc4(key.bytes, key.size).Apply(bytes, data.size());
    return data;
  }
  // AES: a 16-byte initialization vector, the blocks, and padding of 1
  // to 16 bytes each holding its count. Nothing stored is nothing.
  if (data.empty()) return data;
  if (data.size() % crypto::Aes::kBlockBytes != 0)
    Damaged(ObjectName(id) + " holds AES-encrypted data that is not whole blocks");
  crypto::CbcDecrypt(crypto::Aes(key.bytes, key.size), bytes, bytes + crypto::Aes::kBlockBytes,
                     data.size() - crypto::Aes::kBlockBytes);
  data.erase(0, crypto::Aes::kBlockBytes);
  if (data.empty()) return data;
  const std::size_t padding = static_cast<std::uint8_t>(data.back());
  if (padding == 0 || padding > crypto::Aes::kBlockBytes ||
      data.find_first_not_of(data.back(), data.size() - padding) != std::string::npos)
    Damaged(ObjectName(id) + " holds AES-encrypted data with bad padding");
  data.resize(data.size() - padding);
  return data;
}

}  // namespace pdf
}  // namespace vellox

#include "builtin_reader/decryption.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "builtin_reader/file_object_source.h"
#include "crypto/aes.h"
#include "pdf/budgets.h"
#include "pdf_builder.h"
#include "test_util.h"

namespace vellox {
namespace pdf {
namespace {

using vellox::testing::BuildDocument;
using vellox::testing::Cipher;
using vellox::testing::Encrypted;
using vellox::testing::Encryption;
using vellox::testing::PdfBuilder;
using vellox::testing::ScratchDirectory;
using vellox::testing::WriteFile;

// How opening a file went: read, or the fault and its reason.
struct Opened {
  std::unique_ptr<FileObjectSource> source;
  ReadFault fault = ReadFault::kDamaged;
  std::string reason;
};

// The source keeps the file open: it stays readable once its folder is
// gone (these tests run on POSIX systems only).
Opened Open(const std::string& pdf) {
  ScratchDirectory scratch;
  WriteFile(scratch.Path("in.pdf"), pdf);
  Opened opened;
  try {
    StatusOr<std::unique_ptr<FileObjectSource>> source =
        FileObjectSource::Open(scratch.Path("in.pdf"));
    EXPECT_TRUE(source.ok()) << source.status().message();
    if (source.ok()) opened.source = std::move(*source);
  } catch (const ReadError& e) {
    opened.fault = e.fault();
    opened.reason = e.what();
  }
  return opened;
}

// A one-page document whose trailer holds `trailer` (the /Encrypt entry)
// and, when `dictionary` is given, object 6 holding it.
std::string WithEncryption(const std::string& dictionary, const std::string& trailer) {
  PdfBuilder builder;
  builder.AddPages(1);
  builder.AddOutline({{"A", "", {}}});
  builder.AddCatalog();
  if (!dictionary.empty()) {
    EXPECT_EQ(builder.AddObject(dictionary), 6);
  }
  builder.SetTrailerEntries(trailer);
  return builder.Build();
}

std::string Zeros(std::size_t bytes) { return "<" + std::string(2 * bytes, '0') + ">"; }

TEST(DecryptionTest, MalformedAndUnsupportedDictionaries) {
  const std::string id = " /ID [" + Zeros(16) + Zeros(16) + "]";
  const std::string revision3 = "/Filter /Standard /V 2 /R 3 /Length 128 /O " + Zeros(32) +
                                " /U " + Zeros(32) + " /P -4";
  const std::string revision6 = "/Filter /Standard /V 5 /R 6 /O " + Zeros(48) + " /U " +
                                Zeros(48) + " /OE " + Zeros(32) + " /UE " + Zeros(32) + " /P -4";
  const std::string revision4 = "/Filter /Standard /V 4 /R 4 /Length 128 /O " + Zeros(32) +
                                " /U " + Zeros(32) + " /P -4";
  const struct {
    const char* name;
    std::string dictionary;  // object 6
    std::string trailer;
    ReadFault fault;
    const char* reason;  // its start
  } cases[] = {
      // A key's first entry is the one read: the faulty ones come first.
      {"not a dictionary", "", "/Encrypt 5" + id, ReadFault::kDamaged,
       "/Encrypt is not a dictionary"},
      {"no handler", "<< /V 2 /R 3 >>", "/Encrypt 6 0 R" + id, ReadFault::kDamaged,
       "the encryption dictionary names no security handler"},
      {"public-key handler", "<< /Filter /Adobe.PubSec /V 4 /R 4 >>", "/Encrypt 6 0 R" + id,
       ReadFault::kEncrypted,
       "encrypted with the Adobe.PubSec security handler, which is not supported"},
      {"/V 3", "<< /V 3 " + revision3 + " >>", "/Encrypt 6 0 R" + id, ReadFault::kEncrypted,
       "encrypted with /V 3"},
      {"no /V", "<< /Filter /Standard /R 3 >>", "/Encrypt 6 0 R" + id, ReadFault::kEncrypted,
       "encrypted with /V 0"},
      {"/R 7", "<< /R 7 " + revision6 + " >>", "/Encrypt 6 0 R" + id, ReadFault::kEncrypted,
       "encrypted with /R 7"},
      {"/V 5 with /R 4", "<< /R 4 " + revision6 + " >>", "/Encrypt 6 0 R" + id,
       ReadFault::kDamaged, "/V 5 with /R 4"},
      {"absurd /Length", "<< /Length 99999999999 " + revision3 + " >>", "/Encrypt 6 0 R" + id,
       ReadFault::kDamaged, "a key of /Length 99999999999"},
      {"short /O", "<< /O " + Zeros(31) + " " + revision3 + " >>", "/Encrypt 6 0 R" + id,
       ReadFault::kDamaged, "the encryption dictionary's /O is not a string of 32 bytes"},
      {"no /U", "<< /Filter /Standard /V 2 /R 3 /O " + Zeros(32) + " /P -4 >>",
       "/Encrypt 6 0 R" + id, ReadFault::kDamaged,
       "the encryption dictionary's /U is not a string of 32 bytes"},
      {"no /P", "<< /Filter /Standard /V 2 /R 3 /O " + Zeros(32) + " /U " + Zeros(32) + " >>",
       "/Encrypt 6 0 R" + id, ReadFault::kDamaged, "the encryption dictionary has no /P"},
      {"/P not a number", "<< /P (x) " + revision3 + " >>", "/Encrypt 6 0 R" + id,
       ReadFault::kDamaged, "the encryption dictionary has no /P"},
      {"revision 6, short /U", "<< /U " + Zeros(32) + " " + revision6 + " >>",
       "/Encrypt 6 0 R" + id, ReadFault::kDamaged,
       "the encryption dictionary's /U is not a string of 48 bytes"},
      {"revision 6, short /O", "<< /O " + Zeros(47) + " " + revision6 + " >>",
       "/Encrypt 6 0 R" + id, ReadFault::kDamaged,
       "the encryption dictionary's /O is not a string of 48 bytes"},
      {"revision 6, short /OE", "<< /OE " + Zeros(31) + " " + revision6 + " >>",
       "/Encrypt 6 0 R" + id, ReadFault::kDamaged,
       "the encryption dictionary's /OE is not a string of 32 bytes"},
      {"revision 6, /UE a number", "<< /UE 32 " + revision6 + " >>", "/Encrypt 6 0 R" + id,
       ReadFault::kDamaged, "the encryption dictionary's /UE is not a string of 32 bytes"},
      {"/V a name", "<< /V /Four " + revision3 + " >>", "/Encrypt 6 0 R" + id,
       ReadFault::kDamaged, "the encryption dictionary's /V is not an integer"},
      {"crypt filter named by a number", "<< " + revision4 + " /StmF 5 >>",
       "/Encrypt 6 0 R" + id, ReadFault::kDamaged, "a crypt filter's name is not a name"},
      {"unknown crypt filter", "<< " + revision4 + " /StmF /Nope >>", "/Encrypt 6 0 R" + id,
       ReadFault::kDamaged, "no crypt filter /Nope in /CF"},
      {"unknown method", "<< " + revision4 + " /CF << /F << /CFM /Foo >> >> /StrF /F >>",
       "/Encrypt 6 0 R" + id, ReadFault::kEncrypted,
       "encrypted with the crypt filter method Foo, which is not supported"},
      {"AES-256 with /V 4", "<< " + revision4 + " /CF << /F << /CFM /AESV3 >> >> /StmF /F >>",
       "/Encrypt 6 0 R" + id, ReadFault::kDamaged,
       "a crypt filter's method does not fit /V 4"},
      {"AES-128 with a 40-bit key",
       "<< /Length 40 " + revision4 + " /CF << /F << /CFM /AESV2 >> >> /StmF /F >>",
       "/Encrypt 6 0 R" + id, ReadFault::kDamaged, "a crypt filter's method does not fit /V 4"},
      {"no /ID", "<< " + revision3 + " >>", "/Encrypt 6 0 R", ReadFault::kDamaged,
       "the trailer has no /ID, which the encryption key is made from"},
      // Well formed, but the empty password opens neither entry.
      {"revision 3, no password fits", "<< " + revision3 + " >>", "/Encrypt 6 0 R" + id,
       ReadFault::kEncrypted, "needs a password"},
      {"revision 6, no password fits", "<< " + revision6 + " >>", "/Encrypt 6 0 R" + id,
       ReadFault::kEncrypted, "needs a password"},
  };
  for (const auto& c : cases) {
    Opened opened = Open(WithEncryption(c.dictionary, c.trailer));
    EXPECT_FALSE(opened.source) << c.name;
    EXPECT_EQ(opened.fault, c.fault) << c.name << ": " << opened.reason;
    EXPECT_EQ(opened.reason.substr(0, std::string(c.reason).size()), c.reason) << c.name;
  }
}

TEST(DecryptionTest, AUserPasswordIsNeededWhateverTheCipher) {
  const std::string pdf = BuildDocument(1, {{"A", "", {}}});
  for (const auto& encryption : testing::EveryEncryption()) {
    Opened opened = Open(Encrypted(pdf, "user", "owner", encryption.second));
    EXPECT_FALSE(opened.source) << encryption.first;
    EXPECT_EQ(opened.fault, ReadFault::kEncrypted) << encryption.first;
    EXPECT_EQ(opened.reason, "needs a password") << encryption.first;
  }
}

// A user password with an empty owner password: the owner's entries open
// the file. (qpdf makes the owner password the user's when it is empty
// up to revision 4; the hostile corpus has such a file of revision 3.)
TEST(DecryptionTest, AnEmptyOwnerPasswordOpensTheFile) {
  const std::string pdf = BuildDocument(1, {{"A", "", {}}});
  for (Cipher cipher : {Cipher::kAes256Revision5, Cipher::kAes256}) {
    Opened opened = Open(Encrypted(pdf, "user", "", Encryption{cipher, true, false}));
    ASSERT_TRUE(opened.source) << opened.reason;
    EXPECT_TRUE(opened.source->Catalog().IsDictionary());
  }
}

// Its /O and /U are read as stored: decrypted, an AES string of 32 or 48
// bytes would lose its first 16 and its padding.
TEST(DecryptionTest, TheEncryptionDictionaryIsNotDecrypted) {
  const std::string pdf = BuildDocument(1, {{"A", "", {}}});
  for (Cipher cipher : {Cipher::kAes128, Cipher::kAes256}) {
    Opened opened = Open(Encrypted(pdf, "", "owner", Encryption{cipher, true, false}));
    ASSERT_TRUE(opened.source) << opened.reason;
    const Object& reference = opened.source->Trailer().Get("Encrypt");
    ASSERT_TRUE(reference.IsReference());
    const Object dictionary = opened.source->Resolve(reference);
    const std::size_t size = cipher == Cipher::kAes128 ? 32 : 48;
    EXPECT_EQ(dictionary.Get("O").Text().size(), size);
    EXPECT_EQ(dictionary.Get("U").Text().size(), size);
  }
}

// AES-256 data made here with a known key: AES-256 takes the file key for
// every object, so the tests need no key derivation.
class AesDataTest : public ::testing::Test {
 protected:
  AesDataTest() : key(Key()), decryption(key, CryptMethod::kAes256, CryptMethod::kAes256) {}

  static std::string Key() {
    std::string key(32, '\0');
    for (std::size_t i = 0; i < key.size(); ++i) key[i] = static_cast<char>(i * 7 + 1);
    return key;
  }

  // The initialization vector and `blocks` encrypted, as stored.
  std::string Stored(std::string blocks) const {
    const std::string iv = "0123456789abcdef";
    crypto::CbcEncrypt(crypto::Aes(reinterpret_cast<const std::uint8_t*>(key.data()), 32),
                       reinterpret_cast<const std::uint8_t*>(iv.data()),
                       reinterpret_cast<std::uint8_t*>(&blocks[0]), blocks.size());
    return iv + blocks;
  }
  // `text` padded as PDF's AES data is, then stored.
  std::string Padded(const std::string& text) const {
    const std::size_t padding = 16 - text.size() % 16;
    return Stored(text + std::string(padding, static_cast<char>(padding)));
  }
  std::string String(const std::string& stored) const {
    return decryption.DecryptStrings(ObjectId{7, 0}, Object::String(stored)).Text();
  }

  std::string key;
  Decryption decryption;
};

TEST_F(AesDataTest, StringsAndTheirFaults) {
  EXPECT_EQ(String(Padded("Chapter 1")), "Chapter 1");
  EXPECT_EQ(String(Padded("sixteen bytes...")), "sixteen bytes...");  // a whole block of padding
  EXPECT_EQ(String(Padded("")), "");
  EXPECT_EQ(String(""), "");                  // nothing stored
  EXPECT_EQ(String("0123456789abcdef"), "");  // an initialization vector alone

  std::string flipped = Padded("Chapter 1");
  flipped[15] = static_cast<char>(flipped[15] ^ 0xFF);  // the padding's count, through the vector
  const struct {
    const char* name;
    std::string stored;
    const char* reason;
  } faults[] = {
      {"not whole blocks", Padded("Chapter 1").substr(0, 31),
       "object 7 0 holds AES-encrypted data that is not whole blocks"},
      {"shorter than a block", "short", "object 7 0 holds AES-encrypted data that is not whole"},
      {"padding count past a block", flipped,
       "object 7 0 holds AES-encrypted data with bad padding"},
      {"padding count zero", Stored(std::string(15, 'x') + '\0'), "object 7 0 holds AES"},
      {"padding bytes that differ", Stored(std::string(13, 'x') + "\x03\x02\x03"),
       "object 7 0 holds AES-encrypted data with bad padding"},
  };
  for (const auto& fault : faults) {
    try {
      String(fault.stored);
      ADD_FAILURE() << fault.name << ": read";
    } catch (const ReadError& e) {
      EXPECT_EQ(e.fault(), ReadFault::kDamaged) << fault.name;
      EXPECT_EQ(std::string(e.what()).substr(0, std::string(fault.reason).size()), fault.reason)
          << fault.name << ": " << e.what();
    }
  }
}

TEST_F(AesDataTest, EveryStringOfAnObjectAndNothingElse) {
  const Object item = Object::MakeDictionary({
      {"Title", Object::String(Padded("One"))},
      {"Type", Object::Name("Outlines")},
      {"D", Object::MakeArray({Object::Reference(ObjectId{3, 0}), Object::Name("XYZ"),
                               Object::MakeDictionary({{"N", Object::String(Padded("two"))}})})},
      {"Count", Object::Integer(2)},
  });
  const Object read = decryption.DecryptStrings(ObjectId{9, 0}, item);
  EXPECT_EQ(read.Get("Title").Text(), "One");
  EXPECT_TRUE(read.Get("Type").IsName("Outlines"));
  EXPECT_EQ(read.Get("D").At(0).Id().number, 3u);
  EXPECT_TRUE(read.Get("D").At(1).IsName("XYZ"));
  EXPECT_EQ(read.Get("D").At(2).Get("N").Text(), "two");
  EXPECT_EQ(read.Get("Count").IntegerValue(), 2);
}

// The filters' names, "[A B]" for an array.
std::string Names(const Object& filter) {
  if (!filter.IsArray()) return filter.Text();
  std::string names;
  for (const Object& name : filter.Items()) names += (names.empty() ? "" : " ") + name.Text();
  return "[" + names + "]";
}

TEST_F(AesDataTest, StreamsAndTheirCryptFilters) {
  const std::string data = "1 0 2 5 << >> [ ]";
  const Object plainStream = Object::MakeDictionary({{"Type", Object::Name("ObjStm")}}, true);
  const struct {
    const char* name;
    Object dictionary;
    Object filter;
    Object parameters;
    std::string stored;
    const char* filterLeft;  // what is left to decode
  } cases[] = {
      {"the default method", plainStream, Object::Name("FlateDecode"), Object(), Padded(data),
       "FlateDecode"},
      {"a cross-reference stream, never encrypted",
       Object::MakeDictionary({{"Type", Object::Name("XRef")}}, true), Object(), Object(), data,
       ""},
      {"its own crypt filter, the identity", plainStream,
       Object::MakeArray({Object::Name("Crypt"), Object::Name("FlateDecode")}),
       Object::MakeArray({Object::MakeDictionary({{"Name", Object::Name("Identity")}}), Object()}),
       data, "[FlateDecode]"},
      {"a crypt filter alone, the identity by default", plainStream, Object::Name("Crypt"),
       Object(), data, ""},
  };
  for (const auto& c : cases) {
    Object filter = c.filter;
    Object parameters = c.parameters;
    EXPECT_EQ(decryption.DecryptStream(ObjectId{4, 0}, c.dictionary, &filter, &parameters,
                                       c.stored),
              data)
        << c.name;
    EXPECT_EQ(Names(filter), c.filterLeft) << c.name;
    EXPECT_EQ(parameters.Size(), filter.Size()) << c.name;  // one for each filter left
  }

  Object filter = Object::Name("Crypt");
  Object parameters = Object::MakeDictionary({{"Name", Object::Name("Other")}});
  try {
    decryption.DecryptStream(ObjectId{4, 0}, plainStream, &filter, &parameters, data);
    ADD_FAILURE() << "read";
  } catch (const ReadError& e) {
    EXPECT_EQ(e.fault(), ReadFault::kDamaged);
    EXPECT_STREQ(e.what(), "no crypt filter /Other in /CF");
  }
}

// The check comes before the work: a stream past what is left is refused
// undecrypted.
TEST_F(AesDataTest, DecryptedStreamsHaveABudget) {
  Object filter;
  Object parameters;
  const Object dictionary = Object::MakeDictionary({}, true);
  EXPECT_EQ(decryption.DecryptStream(ObjectId{4, 0}, dictionary, &filter, &parameters,
                                     Padded("some")),
            "some");
  try {
    decryption.DecryptStream(ObjectId{4, 0}, dictionary, &filter, &parameters,
                             std::string(kMaxDecryptedBytesPerDocument - 16, '\0'));
    ADD_FAILURE() << "read";
  } catch (const ReadError& e) {
    EXPECT_EQ(e.fault(), ReadFault::kLimit);
    EXPECT_STREQ(e.what(), "the document's decrypted streams exceed the limit of 256 MiB");
  }
}

}  // namespace
}  // namespace pdf
}  // namespace vellox

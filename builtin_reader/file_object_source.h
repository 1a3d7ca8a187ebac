#ifndef VELLOX_BUILTIN_READER_FILE_OBJECT_SOURCE_H_
#define VELLOX_BUILTIN_READER_FILE_OBJECT_SOURCE_H_

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "base/status_or.h"
#include "builtin_reader/cross_reference.h"
#include "builtin_reader/decryption.h"
#include "builtin_reader/file_window.h"
#include "builtin_reader/object_parser.h"
#include "pdf/flate.h"
#include "pdf/object_source.h"
#include "platform/random_access_file.h"

namespace vellox {
namespace pdf {

// The built-in reader's objects: only those asked for are read, by their
// cross-reference offsets, and object streams are inflated on demand (and
// decrypted, with each object's strings, in an encrypted file).
// Memory grows with what is read, never with the file's size; every
// budget of budgets.h holds.
class FileObjectSource : public ObjectSource {
 public:
  // Opens `path` (file-name bytes) and reads its cross-reference sections.
  // Fails with the system's reason when the file cannot be opened or read
  // ("No such file or directory", "not a regular file"), and kInvalidData
  // when it holds no PDF: neither is damage, and no other reader would do
  // better. Throws ReadError when its cross-reference or trailer cannot be
  // read, or its encryption cannot be opened without a password.
  static StatusOr<std::unique_ptr<FileObjectSource>> Open(const std::string& path);
  // The same over a file already open.
  static StatusOr<std::unique_ptr<FileObjectSource>> Open(
      std::unique_ptr<platform::RandomAccessFile> file);

  Object Catalog() override;
  Object Resolve(const Object& object) override;
  Object ResolveEntries(const Object& object, std::initializer_list<const char*> keys) override;

  // The newest trailer (its keys merged over older ones').
  const Object& Trailer() const { return xref.trailer(); }

 private:
  // An inflated object stream: its data and the offsets its header gives.
  struct ObjectStream {
    std::string data;
    std::size_t first = 0;  // where the objects start
    std::vector<std::pair<std::uint32_t, std::uint64_t>> header;  // number, offset
    // Header places by object number, made when a cross-reference index
    // proves wrong.
    std::unordered_map<std::uint32_t, std::size_t> positions;
  };

  explicit FileObjectSource(std::unique_ptr<platform::RandomAccessFile> file);

  // Resolve, a dictionary built as `filter` (if any) says.
  Object Resolve(const Object& object, const EntryFilter* filter);
  // The object `id` names, as stored (itself possibly a reference).
  Object Fetch(ObjectId id, const EntryFilter* filter);
  // `textBytes` gets the length of the object's text.
  Object FetchFromStream(ObjectId id, const ObjectLocation& location, const EntryFilter* filter,
                         std::uint64_t* textBytes);
  ObjectStream& LoadObjectStream(std::uint32_t number);
  std::unique_ptr<ObjectStream> ReadObjectStream(std::uint32_t number);
  // Keeps a large object fetched for the second time, within its budget.
  void Keep(ObjectId id, const Object& object, std::uint64_t textBytes);
  // Charges the document for `bytes` of object text parsed.
  void ChargeParsing(std::uint64_t bytes);
  // Stream object `id`'s decoded data.
  std::string StreamData(ObjectId id, const Object& dictionary, std::uint64_t dataOffset);

  std::unique_ptr<platform::RandomAccessFile> file;
  FileWindow window;
  CrossReference xref;
  InflationBudget inflation;
  std::unique_ptr<Decryption> decryption;  // null for a file not encrypted
  std::uint64_t resolved = 0;
  std::uint64_t parsedBytes = 0;

  // Object streams read so far, by number.
  std::unordered_map<std::uint32_t, std::unique_ptr<ObjectStream>> streams;
  std::vector<std::uint32_t> loading;  // object streams being read, innermost last
  // Large objects: those fetched once, and those kept after a second fetch.
  std::unordered_set<std::uint64_t> fetchedOnce;
  std::unordered_map<std::uint64_t, Object> keptObjects;
  std::uint64_t keptBytes = 0;
};

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_BUILTIN_READER_FILE_OBJECT_SOURCE_H_

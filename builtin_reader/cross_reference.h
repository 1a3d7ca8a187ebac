#ifndef VELLOX_BUILTIN_READER_CROSS_REFERENCE_H_
#define VELLOX_BUILTIN_READER_CROSS_REFERENCE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "builtin_reader/file_window.h"
#include "pdf/flate.h"
#include "pdf/object.h"

namespace vellox {
namespace pdf {

// Where the newest cross-reference section puts an object.
struct ObjectLocation {
  enum class Type : std::uint8_t { kNone, kFree, kInFile, kInStream };
  Type type = Type::kNone;
  std::uint64_t offset = 0;       // kInFile
  std::uint32_t generation = 0;   // kInFile
  std::uint32_t stream = 0;       // kInStream: the object stream's number
  std::uint32_t index = 0;        // kInStream: the object's place in it
};

// The cross-reference sections of a file, newest first, merged: the newest
// definition of each object wins. Classic tables, cross-reference streams,
// hybrids (/XRefStm) and /Prev chains of incremental updates.
class CrossReference {
 public:
  // Reads from the last startxref back. kDamaged when no section is where
  // the file says.
  void Read(FileWindow* window, InflationBudget* budget);

  ObjectLocation Find(std::uint32_t number) const;
  // The newest trailer, with keys only older ones have added.
  const Object& trailer() const { return trailer_; }

 private:
  // Entries packed into 64 bits (2 type bits; 46 offset bits and 16
  // generation bits; or 23 stream-number bits and 32 index bits), in pages
  // allocated as numbers appear: a huge number costs one page, not a table.
  static constexpr std::uint32_t kPageEntries = 4096;
  using Page = std::vector<std::uint64_t>;

  // Sets an entry that no newer section has set.
  void Add(std::uint32_t number, std::uint64_t packed);
  void AddInFile(std::uint32_t number, std::uint64_t offset, std::uint64_t generation);
  void AddInStream(std::uint32_t number, std::uint64_t stream, std::uint64_t index);
  void AddFree(std::uint32_t number);

  // One section at `offset`; returns its trailer. A table's free entries
  // go to `freed` instead, to be set once its /XRefStm has been read.
  Object ReadSection(FileWindow* window, InflationBudget* budget, std::uint64_t offset,
                     bool* isStream, std::vector<std::uint32_t>* freed);
  Object ReadTable(FileWindow* window, std::uint64_t offset, std::vector<std::uint32_t>* freed);
  Object ReadStream(FileWindow* window, InflationBudget* budget, std::uint64_t offset);
  void MergeTrailer(const Object& trailer);
  // Charges the sections for `bytes` of theirs read.
  void ChargeSection(std::uint64_t bytes);

  std::vector<std::unique_ptr<Page>> pages;
  Object trailer_;
  // The trailer while sections are read: entries newest first, and their keys.
  Dictionary trailerEntries;
  std::unordered_set<std::string> trailerKeys;
  std::uint64_t sectionBytes = 0;
  std::uint64_t sectionBytesLimit = 0;
};

// The offset the last startxref gives, found in the file's last 2 KiB.
std::uint64_t FindStartXref(FileWindow* window);

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_BUILTIN_READER_CROSS_REFERENCE_H_

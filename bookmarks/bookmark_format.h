#ifndef VELLOX_BOOKMARKS_BOOKMARK_FORMAT_H_
#define VELLOX_BOOKMARKS_BOOKMARK_FORMAT_H_

#include <cstddef>
#include <cstdint>

// The layout of a bookmark file (.pdr), shared by its writer and its
// decoder. All numbers are big-endian.
//
//   header   magic (4 bytes), version (1), reserved zero (4)
//   count    number of records (4)
//   record   zero (1), page index (4, signed), text length (2), text
namespace vellox {
namespace bookmark_format {

constexpr std::uint32_t kMagic = 0xDEADCABB;
constexpr std::uint8_t kVersion = 1;
constexpr std::uint32_t kReserved = 0;
// Header and record count together.
constexpr std::size_t kFileHeaderBytes = 4 + 1 + 4 + 4;
// A record before its text.
constexpr std::size_t kRecordHeaderBytes = 1 + 4 + 2;
// The longest record text the Kindle reads.
constexpr std::size_t kMaxRecordText = 65000;

}  // namespace bookmark_format
}  // namespace vellox

#endif  // VELLOX_BOOKMARKS_BOOKMARK_FORMAT_H_

#ifndef VELLOX_FUZZ_FUZZ_SUPPORT_H_
#define VELLOX_FUZZ_FUZZ_SUPPORT_H_

// What the fuzz targets share: an in-memory byte sink for the writer, and
// the expected record texts worked out from first principles, so that a
// fault in the writer's own label or cutting code cannot hide itself.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bookmarks/bookmark_file_decoder.h"
#include "bookmarks/bookmark_list.h"
#include "bookmarks/output_stream.h"

namespace vellox {
namespace fuzz {

// Stops the run with a message; libFuzzer saves the input that got here.
[[noreturn]] inline void Fail(const std::string& what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
  std::abort();
}

// The checks' own loops give the fuzzer no useful feedback and would cost
// most of its time in comparison tracing.
#define FUZZ_NO_COVERAGE __attribute__((no_sanitize("coverage")))

#define FUZZ_CHECK(condition, what)          \
  do {                                       \
    if (!(condition)) ::vellox::fuzz::Fail(what); \
  } while (0)

class MemoryOutputStream final : public OutputStream {
 public:
  MemoryOutputStream() = default;

  const std::string& bytes() const { return data; }

  void WriteU8(std::uint8_t value) override { Put(value, 1, true); }
  void WriteU16BE(std::uint16_t value) override { Put(value, 2, true); }
  void WriteU16LE(std::uint16_t value) override { Put(value, 2, false); }
  void WriteU24BE(std::uint32_t value) override { Put(value, 3, true); }
  void WriteU24LE(std::uint32_t value) override { Put(value, 3, false); }
  void WriteU32BE(std::uint32_t value) override { Put(value, 4, true); }
  void WriteU32LE(std::uint32_t value) override { Put(value, 4, false); }
  void WriteU64BE(std::uint64_t value) override { Put(value, 8, true); }
  void WriteU64LE(std::uint64_t value) override { Put(value, 8, false); }
  void WriteBytes(const void* bytes, std::int32_t length) override {
    FUZZ_CHECK(length >= 0, "negative length handed to WriteBytes");
    data.append(static_cast<const char*>(bytes), static_cast<std::size_t>(length));
  }

 private:
  ~MemoryOutputStream() override = default;

  void Put(std::uint64_t value, int size, bool bigEndian) {
    for (int i = 0; i < size; ++i) {
      int shift = 8 * (bigEndian ? size - 1 - i : i);
      data.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
  }

  std::string data;
};

// Length of the well-formed UTF-8 sequence at `s` (n bytes left), or 0.
// Written from the table of well-formed byte sequences rather than by
// decoding, so that it shares nothing with the program's own stepping.
FUZZ_NO_COVERAGE inline std::size_t WellFormedUtf8Length(const unsigned char* s, std::size_t n) {
  auto in = [](unsigned char b, unsigned lo, unsigned hi) { return b >= lo && b <= hi; };
  unsigned char b = s[0];
  if (b <= 0x7F) return 1;
  if (in(b, 0xC2, 0xDF)) return n >= 2 && in(s[1], 0x80, 0xBF) ? 2 : 0;
  if (b >= 0xE0 && b <= 0xEF) {
    if (n < 3 || !in(s[2], 0x80, 0xBF)) return 0;
    unsigned lo = b == 0xE0 ? 0xA0 : 0x80, hi = b == 0xED ? 0x9F : 0xBF;
    return in(s[1], lo, hi) ? 3 : 0;
  }
  if (b >= 0xF0 && b <= 0xF4) {
    if (n < 4 || !in(s[2], 0x80, 0xBF) || !in(s[3], 0x80, 0xBF)) return 0;
    unsigned lo = b == 0xF0 ? 0x90 : 0x80, hi = b == 0xF4 ? 0x8F : 0xBF;
    return in(s[1], lo, hi) ? 4 : 0;
  }
  return 0;
}

// The longest prefix of `text` of at most `limit` bytes that ends where a
// character ends; a byte that starts no well-formed sequence is a
// character of its own.
FUZZ_NO_COVERAGE inline std::size_t ExpectedCut(const std::string& text, std::size_t limit) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t end = 0;
  while (end < text.size()) {
    std::size_t length = WellFormedUtf8Length(s + end, text.size() - end);
    if (length == 0) length = 1;
    if (end + length > limit) break;
    end += length;
  }
  return end;
}

// Decimal digits of the largest page + 1, taken as unsigned 32-bit.
FUZZ_NO_COVERAGE inline std::uint32_t ExpectedLabelWidth(const std::vector<BookmarkEntry>& entries) {
  std::uint32_t largest = 0;
  for (const BookmarkEntry& e : entries) {
    std::uint32_t label = static_cast<std::uint32_t>(e.page) + 1u;
    if (label > largest) largest = label;
  }
  return largest == 0 ? 0 : static_cast<std::uint32_t>(std::to_string(largest).size());
}

// The label (page + 1 with 32-bit wrap-around, signed, zero-padded to
// `width` characters with the sign counted), a space, then the text, cut
// to at most 65000 bytes on a character boundary.
FUZZ_NO_COVERAGE inline std::string ExpectedRecordText(const BookmarkEntry& entry, std::uint32_t width) {
  std::int64_t value =
      static_cast<std::int32_t>(static_cast<std::uint32_t>(entry.page) + 1u);
  std::string digits = std::to_string(value < 0 ? -value : value);
  std::size_t length = digits.size() + (value < 0 ? 1 : 0);
  std::string label = value < 0 ? "-" : "";
  if (width > length) label.append(width - length, '0');
  label += digits + " ";
  std::string record = label + entry.text;
  return record.substr(0, ExpectedCut(record, BookmarkList::kMaxRecordText));
}

// Writes `list` as a whole file in memory, decodes it and requires the
// records to be exactly what the list should give. Returns the bytes.
inline std::string WriteAndVerify(BookmarkList* list) {
  auto* stream = new MemoryOutputStream();
  BookmarkList::WriteHeader(stream);
  list->WriteEntries(stream);
  std::string bytes = stream->bytes();
  stream->Release();

  const std::vector<BookmarkEntry>& entries = list->Entries();
  const std::uint32_t width = ExpectedLabelWidth(entries);
  FUZZ_CHECK(list->LabelWidth() == width, "label width " + std::to_string(list->LabelWidth()) +
                                               ", expected " + std::to_string(width));
  StatusOr<std::vector<BookmarkEntry>> decoded = DecodeBookmarkFile(bytes);
  FUZZ_CHECK(decoded.ok(), "the written file does not decode: " + decoded.status().message());
  const std::vector<BookmarkEntry>& records = *decoded;
  FUZZ_CHECK(records.size() == entries.size(),
             std::to_string(records.size()) + " records for " +
                 std::to_string(entries.size()) + " entries");
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string where = "record " + std::to_string(i) + ": ";
    FUZZ_CHECK(records[i].page == entries[i].page, where + "page differs");
    const std::string expected = ExpectedRecordText(entries[i], width);
    FUZZ_CHECK(records[i].text == expected,
               where + "text of " + std::to_string(records[i].text.size()) +
                   " bytes, expected " + std::to_string(expected.size()) + " bytes starting '" +
                   expected.substr(0, 40) + "'");
  }
  return bytes;
}

}  // namespace fuzz
}  // namespace vellox

#endif  // VELLOX_FUZZ_FUZZ_SUPPORT_H_

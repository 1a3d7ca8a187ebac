// A bookmark list built from the input goes through the writer and is read
// back with the independent decoder; the records must be exactly the
// entries with their labels, cut where a record must be cut.
//
// Input: one flag byte (bit 0: also save through SaveToFile and require
// the same bytes), then entries until the input ends:
//   page: 4 bytes, big-endian, signed
//   kind: 1 byte
//     0x00-0x7F  the text is the next `kind` bytes
//     0x80-0xBF  the text is a pattern repeated to a length: 3 bytes
//                big-endian (taken modulo 70001), then the pattern's
//                length (1 byte) and the pattern
//     0xC0-0xFF  the same with the length 64980 + 1 byte, which puts the
//                text's end around the 65000-byte cut

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "bookmarks/bookmark_list.h"
#include "fuzz_support.h"
#include "platform/code_page.h"

namespace {

// Bounds per input, so that runs stay fast: a few texts past the cut
// find what many would.
constexpr std::size_t kMaxEntries = 128;
constexpr std::size_t kMaxTextBytes = 400000;

class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}
  bool Empty() const { return position >= size; }
  std::uint32_t Number(int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = (value << 8) | Byte();
    return value;
  }
  std::uint8_t Byte() { return position < size ? data[position++] : 0; }
  std::string Text(std::size_t length) {
    if (length > size - position) length = size - position;
    std::string text(reinterpret_cast<const char*>(data + position), length);
    position += length;
    return text;
  }

 private:
  const std::uint8_t* data;
  std::size_t size;
  std::size_t position = 0;
};

std::string Repeated(const std::string& pattern, std::size_t length) {
  std::string text = pattern.empty() ? std::string("a") : pattern;
  text.reserve(length + text.size());
  while (text.size() < length) text.append(text, 0, std::min(text.size(), length - text.size()));
  text.resize(length);  // may end inside a character: that is a case too
  return text;
}

// SaveToFile's bytes, through a real file in memory-backed storage.
std::string SavedBytes(vellox::BookmarkList* list) {
  static const std::string path =
      "/dev/shm/vellox-writer-fuzz-" + std::to_string(getpid()) + ".pdr";
  vellox::Status status = list->SaveToFile(path);
  FUZZ_CHECK(status.ok(), "SaveToFile failed: " + status.message());
  std::string bytes;
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  FUZZ_CHECK(fd >= 0, "the saved file cannot be opened");
  char buffer[65536];
  for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;)
    bytes.append(buffer, static_cast<std::size_t>(got));
  close(fd);
  unlink(path.c_str());
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The C locale: titles are UTF-8, the stepping the checks assume.
  setenv("LC_ALL", "C", 1);
  vellox::platform::InitializeCodePage();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in(data, size);
  const std::uint8_t flags = in.Byte();
  vellox::BookmarkList list;
  std::size_t textBytes = 0;
  while (!in.Empty() && list.Entries().size() < kMaxEntries && textBytes < kMaxTextBytes) {
    const auto page = static_cast<std::int32_t>(in.Number(4));
    const std::uint8_t kind = in.Byte();
    std::string text;
    if (kind < 0x80) {
      text = in.Text(kind);
    } else {
      std::size_t length = kind < 0xC0 ? in.Number(3) % 70001 : 64980 + in.Byte();
      text = Repeated(in.Text(in.Byte()), length);
    }
    textBytes += text.size();
    list.Append(vellox::BookmarkEntry{page, std::move(text)});
  }

  const std::string written = vellox::fuzz::WriteAndVerify(&list);
  if (flags & 1) FUZZ_CHECK(SavedBytes(&list) == written, "SaveToFile wrote other bytes");
  return 0;
}

#ifndef VELLOX_BUILTIN_READER_FILE_WINDOW_H_
#define VELLOX_BUILTIN_READER_FILE_WINDOW_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "builtin_reader/lexer.h"
#include "pdf/budgets.h"
#include "pdf/object_source.h"
#include "platform/random_access_file.h"

namespace vellox {
namespace pdf {

// The file's bytes by offset, through a small cache of blocks sized by
// where the reads fall. Objects read close together (an outline's items,
// a page tree, a cross-reference table) come in aligned 64 KiB blocks, so
// that their neighbours cost no further read; an object far from the
// recent reads (a page of a scanned book, between megabytes of image)
// comes in the 4 KiB around it, and more is read only when it does not fit.
class FileWindow {
 public:
  static constexpr std::size_t kSmallBlockBytes = 4 * 1024;
  static constexpr std::size_t kLargeBlockBytes = 64 * 1024;
  // What the cache holds at most; a file no larger is read in large
  // blocks throughout.
  static constexpr std::size_t kCacheBytes = 1024 * 1024;

  explicit FileWindow(const platform::RandomAccessFile& file) : file(file), size_(file.Size()) {}

  std::uint64_t size() const { return size_; }

  // The bytes from `offset` to the end of the cached block that holds it
  // (empty past the end of the file). Valid until the next call.
  void View(std::uint64_t offset, const char** begin, const char** end);

  // Exactly `length` bytes at `offset`; fewer are damage (a truncated file).
  std::string Read(std::uint64_t offset, std::size_t length);

  // Runs `parse(lexer)` over the bytes from `offset`, first within the
  // cached block, then over more bytes, four times as many each time, while
  // the lexer ran into their end, up to kMaxObjectBytes.
  template <typename Parse>
  auto ParseAt(std::uint64_t offset, Parse&& parse) -> decltype(parse(std::declval<Lexer&>()));

 private:
  struct Block {
    std::uint64_t start = 0;
    std::int64_t priority = 0;  // the lowest goes first
    bool large = false;     // read where objects sit together
    bool grown = false;     // read for an object that did not fit
    bool endsFile = false;  // nothing follows: the file's end, or it shrank
    std::string bytes;
  };

  // Cached bytes from `offset` on, and whether the file ends with them.
  struct Span {
    const char* begin = nullptr;
    const char* end = nullptr;
    bool atEnd = true;
  };
  // At least `minimum` bytes from `offset` (fewer only where the file
  // ends), from a cached block or a new one. A new block for `grow` starts
  // at `offset`: the object there did not fit in the block that held it.
  Span ViewAtLeast(std::uint64_t offset, std::size_t minimum, bool grow);
  // A cached block holding `offset` and `minimum` bytes from it on (or all
  // the file has); null if none does.
  Block* Cached(std::uint64_t offset, std::size_t minimum);
  Block* Load(std::uint64_t offset, std::size_t minimum, bool grow);
  bool NearRecentReads(std::uint64_t offset) const;
  void NoteRead(std::uint64_t offset, std::size_t length);
  [[noreturn]] void ObjectTooLarge(std::uint64_t offset) const;

  const platform::RandomAccessFile& file;
  const std::uint64_t size_;
  std::vector<Block> blocks;
  std::size_t lastUsed = 0;  // index in `blocks`
  std::size_t cachedBytes = 0;
  std::uint64_t uses = 0;   // blocks used again, and large ones read
  std::uint64_t loads = 0;  // small blocks read
  // The ranges the last few reads took (growth aside), newest replacing
  // oldest: a read near one of them is where objects sit together. Two
  // regions read in turn (an outline's items and the pages they lead to)
  // both count.
  struct Range {
    std::uint64_t begin, end;
  };
  static constexpr std::size_t kRecentReads = 4;
  Range recentReads[kRecentReads] = {};
  std::size_t readCount = 0;
};

template <typename Parse>
auto FileWindow::ParseAt(std::uint64_t offset, Parse&& parse)
    -> decltype(parse(std::declval<Lexer&>())) {
  if (offset >= size_) throw ReadError(ReadFault::kDamaged, "an offset past the end of the file");
  Span span = ViewAtLeast(offset, 0, false);
  std::string buffer;
  for (;;) {
    const char* const begin = span.begin;
    const char* const end = span.end;
    const bool atEnd = span.atEnd;
    Lexer lexer(begin, end);
    try {
      auto result = parse(lexer);
      if (!lexer.ReachedEnd() || atEnd) return result;
    } catch (const ReadError& error) {
      if (error.fault() != ReadFault::kDamaged || !lexer.ReachedEnd() || atEnd) throw;
    }
    const std::size_t had = static_cast<std::size_t>(end - begin);
    if (had >= kMaxObjectBytes) ObjectTooLarge(offset);
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(
        std::min(std::max(had * 4, kSmallBlockBytes), kMaxObjectBytes), size_ - offset));
    if (want <= kLargeBlockBytes) {
      // Small enough to keep: the objects after this one may be wanted next.
      span = ViewAtLeast(offset, want, true);
      continue;
    }
    Status status = file.Read(offset, want, &buffer);
    if (!status.ok()) throw ReadError(ReadFault::kDamaged, status.message());
    span.begin = buffer.data();
    span.end = span.begin + buffer.size();
    // A file that shrank under us ends where the read did.
    span.atEnd = buffer.size() < want || offset + buffer.size() >= size_;
  }
}

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_BUILTIN_READER_FILE_WINDOW_H_

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

// The file's bytes by offset, through a few cached aligned blocks: objects
// near one another (an outline's items usually are) cost one read.
class FileWindow {
 public:
  static constexpr std::size_t kBlockBytes = 64 * 1024;
  static constexpr std::size_t kBlocks = 8;

  explicit FileWindow(const platform::RandomAccessFile& file) : file(file), size_(file.Size()) {}

  std::uint64_t size() const { return size_; }

  // The bytes from `offset` to the end of its block (empty past the end of
  // the file). Valid until the next call.
  void View(std::uint64_t offset, const char** begin, const char** end);

  // Exactly `length` bytes at `offset`; fewer are damage (a truncated file).
  std::string Read(std::uint64_t offset, std::size_t length) const;

  // Runs `parse(lexer)` over the bytes from `offset`, first within the
  // cached block, then over larger windows read for it while the lexer ran
  // into a window's end, up to kMaxObjectBytes.
  template <typename Parse>
  auto ParseAt(std::uint64_t offset, Parse&& parse) -> decltype(parse(std::declval<Lexer&>()));

 private:
  struct Block {
    std::uint64_t index = 0;
    std::uint64_t lastUse = 0;
    bool filled = false;
    std::string bytes;
  };

  [[noreturn]] void ObjectTooLarge(std::uint64_t offset) const;

  const platform::RandomAccessFile& file;
  const std::uint64_t size_;
  std::vector<Block> blocks;
  std::uint64_t uses = 0;
};

template <typename Parse>
auto FileWindow::ParseAt(std::uint64_t offset, Parse&& parse)
    -> decltype(parse(std::declval<Lexer&>())) {
  if (offset >= size_) throw ReadError(ReadFault::kDamaged, "an offset past the end of the file");
  const char* begin;
  const char* end;
  View(offset, &begin, &end);
  std::string buffer;
  bool atEnd = offset + static_cast<std::uint64_t>(end - begin) >= size_;
  for (;;) {
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
        std::min(std::max<std::size_t>(had * 4, 256 * 1024), kMaxObjectBytes), size_ - offset));
    Status status = file.Read(offset, want, &buffer);
    if (!status.ok()) throw ReadError(ReadFault::kDamaged, status.message());
    begin = buffer.data();
    end = begin + buffer.size();
    // A file that shrank under us ends where the read did.
    atEnd = buffer.size() < want || offset + buffer.size() >= size_;
  }
}

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_BUILTIN_READER_FILE_WINDOW_H_

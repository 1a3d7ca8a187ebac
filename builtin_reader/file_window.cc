#include "builtin_reader/file_window.h"

namespace vellox {
namespace pdf {

void FileWindow::View(std::uint64_t offset, const char** begin, const char** end) {
  const Span span = ViewAtLeast(offset, 0, false);
  *begin = span.begin;
  *end = span.end;
}

std::string FileWindow::Read(std::uint64_t offset, std::size_t length) {
  std::string bytes;
  if (length <= kSmallBlockBytes) {
    // A few bytes (a file's tail, a small stream): the block may hold the
    // objects around them too.
    const Span span = ViewAtLeast(offset, length, false);
    if (span.begin != nullptr)
      bytes.assign(span.begin, std::min(length, static_cast<std::size_t>(span.end - span.begin)));
  } else if (const Block* block = Cached(offset, length)) {
    bytes.assign(block->bytes, static_cast<std::size_t>(offset - block->start), length);
  } else {
    Status status = file.Read(offset, length, &bytes);
    if (!status.ok()) throw ReadError(ReadFault::kDamaged, status.message());
    NoteRead(offset, length);
  }
  if (bytes.size() < length) throw ReadError(ReadFault::kDamaged, "the file is truncated");
  return bytes;
}

FileWindow::Span FileWindow::ViewAtLeast(std::uint64_t offset, std::size_t minimum, bool grow) {
  Span span;
  if (offset >= size_) return span;
  Block* block = Cached(offset, minimum);
  if (block == nullptr) {
    block = Load(offset, minimum, grow);
  } else {
    block->priority = static_cast<std::int64_t>(++uses);
  }
  lastUsed = static_cast<std::size_t>(block - blocks.data());
  const std::string& bytes = block->bytes;
  const std::size_t from = static_cast<std::size_t>(std::min<std::uint64_t>(
      offset - block->start, bytes.size()));
  span.begin = bytes.data() + from;
  span.end = bytes.data() + bytes.size();
  span.atEnd = block->endsFile || block->start + bytes.size() >= size_;
  return span;
}

FileWindow::Block* FileWindow::Cached(std::uint64_t offset, std::size_t minimum) {
  auto holds = [offset](const Block& block) {
    return block.start <= offset && offset - block.start < block.bytes.size();
  };
  auto remaining = [offset](const Block& block) {
    return static_cast<std::size_t>(block.start + block.bytes.size() - offset);
  };
  // Most reads fall in the block used last.
  if (lastUsed < blocks.size()) {
    Block& block = blocks[lastUsed];
    if (holds(block) && (remaining(block) >= minimum || block.endsFile)) return &block;
  }
  // Blocks overlap where a small one was read before a large one around
  // it: the one holding the most bytes from `offset` on.
  Block* best = nullptr;
  for (Block& block : blocks) {
    if (holds(block) && (best == nullptr || remaining(block) > remaining(*best))) best = &block;
  }
  if (best == nullptr || (remaining(*best) < minimum && !best->endsFile)) return nullptr;
  return best;
}

FileWindow::Block* FileWindow::Load(std::uint64_t offset, std::size_t minimum, bool grow) {
  std::uint64_t start = offset;
  std::size_t length = minimum;
  bool large;
  if (grow) {
    // From the object on. Where objects sit together (a large block, or
    // a second object that does not fit in a small one) a large block, so
    // that the ones after it come with it.
    const Block* had = Cached(offset, 0);
    large = had != nullptr && (had->large || had->grown);
    if (large) length = std::max(length, kLargeBlockBytes);
  } else {
    // Near a recent read, objects sit together: take a whole aligned block.
    large = size_ <= kCacheBytes || NearRecentReads(offset);
    const std::size_t unit = large ? kLargeBlockBytes : kSmallBlockBytes;
    start = offset / unit * unit;
    length = static_cast<std::size_t>(std::max<std::uint64_t>(start + unit, offset + minimum) -
                                      start);
  }

  // Room for it: the blocks of least priority go, whatever their size; one
  // that alone passes the cap stays until the next load.
  while (!blocks.empty() && cachedBytes + length > kCacheBytes) {
    auto victim = std::min_element(
        blocks.begin(), blocks.end(),
        [](const Block& a, const Block& b) { return a.priority < b.priority; });
    cachedBytes -= victim->bytes.size();
    if (victim != blocks.end() - 1) *victim = std::move(blocks.back());
    blocks.pop_back();
  }
  std::string buffer;
  Status status = file.Read(start, length, &buffer);
  if (!status.ok()) throw ReadError(ReadFault::kDamaged, status.message());
  if (!grow) NoteRead(start, length);
  Block block;
  block.start = start;
  block.large = large;
  block.grown = grow;
  // A large block is used at once and likely again: it ranks as the most
  // recently used. A small one ranks below every block used since it was
  // read, the newest lowest: of objects read far apart, most are needed
  // once, and when a walk comes back for some (the pages an outline's
  // destinations lie next to), those read first are still there.
  block.priority = large ? static_cast<std::int64_t>(++uses) : -static_cast<std::int64_t>(++loads);
  block.endsFile = buffer.size() < length || start + buffer.size() >= size_;
  block.bytes = std::move(buffer);
  cachedBytes += block.bytes.size();
  blocks.push_back(std::move(block));
  return &blocks.back();
}

bool FileWindow::NearRecentReads(std::uint64_t offset) const {
  for (std::size_t i = 0; i < std::min(readCount, kRecentReads); ++i) {
    const Range& read = recentReads[i];
    if (offset + kLargeBlockBytes > read.begin && offset < read.end + kLargeBlockBytes) return true;
  }
  return false;
}

void FileWindow::NoteRead(std::uint64_t offset, std::size_t length) {
  recentReads[readCount++ % kRecentReads] = Range{offset, offset + length};
}

void FileWindow::ObjectTooLarge(std::uint64_t offset) const {
  OverLimit("the object at offset " + std::to_string(offset) + " exceeds",
            Mebibytes(kMaxObjectBytes));
}

}  // namespace pdf
}  // namespace vellox

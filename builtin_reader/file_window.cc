#include "builtin_reader/file_window.h"

namespace vellox {
namespace pdf {

void FileWindow::View(std::uint64_t offset, const char** begin, const char** end) {
  const std::uint64_t index = offset / kBlockBytes;
  Block* chosen = nullptr;
  for (Block& block : blocks)
    if (block.filled && block.index == index) chosen = &block;
  if (chosen == nullptr) {
    if (blocks.size() < kBlocks) {
      blocks.emplace_back();
      chosen = &blocks.back();
    } else {
      chosen = &blocks[0];
      for (Block& block : blocks)
        if (block.lastUse < chosen->lastUse) chosen = &block;
    }
    chosen->filled = false;
    Status status = file.Read(index * kBlockBytes, kBlockBytes, &chosen->bytes);
    if (!status.ok()) throw ReadError(ReadFault::kDamaged, status.message());
    chosen->index = index;
    chosen->filled = true;
  }
  chosen->lastUse = ++uses;
  const std::size_t from = static_cast<std::size_t>(offset - index * kBlockBytes);
  const std::string& bytes = chosen->bytes;
  *begin = bytes.data() + std::min(from, bytes.size());
  *end = bytes.data() + bytes.size();
}

std::string FileWindow::Read(std::uint64_t offset, std::size_t length) const {
  std::string bytes;
  Status status = file.Read(offset, length, &bytes);
  if (!status.ok()) throw ReadError(ReadFault::kDamaged, status.message());
  if (bytes.size() < length) throw ReadError(ReadFault::kDamaged, "the file is truncated");
  return bytes;
}

void FileWindow::ObjectTooLarge(std::uint64_t offset) const {
  OverLimit("the object at offset " + std::to_string(offset) + " exceeds",
            Mebibytes(kMaxObjectBytes));
}

}  // namespace pdf
}  // namespace vellox

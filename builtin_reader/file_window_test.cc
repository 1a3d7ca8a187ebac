#include "builtin_reader/file_window.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#include "builtin_reader/indirect_object.h"

namespace vellox {
namespace pdf {
namespace {

// A file of any size held as a few texts at their offsets, blanks between
// them, counting the reads made of it, as a scanned book of a gigabyte
// would be read without being written.
class SparseFile final : public platform::RandomAccessFile {
 public:
  explicit SparseFile(std::uint64_t size) : size(size) {}

  void Put(std::uint64_t offset, const std::string& text) { texts[offset] = text; }
  // "N 0 obj\nbody\nendobj\n" at `offset`.
  void PutObject(std::uint64_t offset, std::uint32_t number, const std::string& body) {
    Put(offset, std::to_string(number) + " 0 obj\n" + body + "\nendobj\n");
  }
  // From now on the file ends at `newSize`, as if cut while being read.
  void Shrink(std::uint64_t newSize) { shrunk = newSize; }

  std::uint64_t Size() const override { return size; }
  Status Read(std::uint64_t offset, std::size_t length, std::string* out) const override {
    ++reads;
    const std::uint64_t end = std::min<std::uint64_t>(offset + length, std::min(size, shrunk));
    out->assign(offset < end ? static_cast<std::size_t>(end - offset) : 0, ' ');
    for (const auto& [at, text] : texts) {
      const std::uint64_t from = std::max(at, offset);
      const std::uint64_t to = std::min(at + text.size(), end);
      if (from >= to) continue;
      const auto length = static_cast<std::size_t>(to - from);
      out->replace(static_cast<std::size_t>(from - offset), length, text,
                   static_cast<std::size_t>(from - at), length);
    }
    bytesRead += out->size();
    return Status::OK();
  }

  mutable int reads = 0;
  mutable std::uint64_t bytesRead = 0;

 private:
  const std::uint64_t size;
  std::uint64_t shrunk = UINT64_MAX;
  std::map<std::uint64_t, std::string> texts;
};

constexpr std::uint64_t kMegabyte = std::uint64_t{1} << 20;

std::int64_t IntegerAt(FileWindow* window, std::uint64_t offset) {
  return ReadIndirectObject(window, offset).value.IntegerValue();
}

TEST(FileWindowTest, ObjectsFarApartCostASmallReadEach) {
  // A scanned book's pages: small objects between megabytes of image.
  SparseFile file(2000 * kMegabyte);
  for (std::uint32_t i = 0; i < 300; ++i)
    file.PutObject(i * 5 * kMegabyte + 77, i + 1, std::to_string(i));
  FileWindow window(file);
  for (std::uint32_t i = 0; i < 300; ++i) ASSERT_EQ(IntegerAt(&window, i * 5 * kMegabyte + 77), i);
  EXPECT_EQ(file.reads, 300);
  EXPECT_EQ(file.bytesRead, 300 * FileWindow::kSmallBlockBytes);
}

TEST(FileWindowTest, ObjectsTogetherShareLargeReads) {
  // An outline's items, one after another at the end of a big file.
  SparseFile file(2000 * kMegabyte);
  const std::uint64_t base = 1500 * kMegabyte;
  for (std::uint32_t i = 0; i < 4000; ++i) file.PutObject(base + i * 100, i + 1, std::to_string(i));
  FileWindow window(file);
  for (std::uint32_t i = 0; i < 4000; ++i) ASSERT_EQ(IntegerAt(&window, base + i * 100), i);
  // 400 KB in 64 KiB blocks; the first reads, not yet knowing the
  // neighbours, are small ones.
  EXPECT_LE(file.reads, 9);
  EXPECT_LE(file.bytesRead, 400000 + 2 * FileWindow::kLargeBlockBytes);
}

TEST(FileWindowTest, ObjectsThatDoNotFitAreReadWhole) {
  SparseFile file(100 * kMegabyte);
  struct Case {
    const char* what;
    std::uint64_t offset;
    std::size_t length;
  };
  const Case cases[] = {
      {"across a small block's end", 10 * kMegabyte + FileWindow::kSmallBlockBytes - 9, 20},
      {"larger than a small block", 20 * kMegabyte + 5, 3 * FileWindow::kSmallBlockBytes},
      {"larger than a large block", 30 * kMegabyte + 5, 5 * FileWindow::kLargeBlockBytes},
      {"a megabyte", 40 * kMegabyte + 5, 1 << 20},
  };
  std::uint32_t number = 1;
  for (const Case& c : cases) {
    // A string of `length` bytes: its end is the only way to tell it ends.
    file.PutObject(c.offset, number++, "(" + std::string(c.length, 'x') + ")");
  }
  FileWindow window(file);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const int readsBefore = file.reads;
    const std::uint64_t bytesBefore = file.bytesRead;
    EXPECT_EQ(ReadIndirectObject(&window, c.offset).value.Text().size(), c.length);
    // Each step reads four times what the last one had: all steps
    // together stay within a small multiple of the object.
    EXPECT_LE(file.bytesRead - bytesBefore, 6 * c.length + 2 * FileWindow::kSmallBlockBytes);
    EXPECT_LE(file.reads - readsBefore, 12);
  }
}

TEST(FileWindowTest, ReadsWithinACachedBlockCostNothing) {
  SparseFile file(1000 * kMegabyte);
  const std::uint64_t at = 700 * kMegabyte + 100;
  file.PutObject(at, 1, "<< /Length 10 >>\nstream\n0123456789\nendstream");
  FileWindow window(file);
  const IndirectObject stream = ReadIndirectObject(&window, at);
  EXPECT_EQ(file.reads, 1);
  EXPECT_EQ(window.Read(stream.dataOffset, 10), "0123456789");
  EXPECT_EQ(file.reads, 1);
}

TEST(FileWindowTest, AWalkComingBackFindsTheBlocksReadFirst) {
  // An outline's destinations first, each next to a page of a scanned
  // book, then the walk over every page: the pages beside a destination
  // cost no second read, though the walk's own reads overflow the cache.
  SparseFile file(4000 * kMegabyte);
  const std::uint32_t pages = 1000;
  auto pageAt = [](std::uint32_t page) { return page * 3 * kMegabyte + 1000; };
  for (std::uint32_t page = 0; page < pages; ++page) {
    file.PutObject(pageAt(page), page + 1, std::to_string(page));
    file.PutObject(pageAt(page) + 40, pages + page + 1, std::to_string(pages + page));
  }
  FileWindow window(file);
  const std::uint32_t destinations = 100;
  for (std::uint32_t k = 0; k < destinations; ++k)
    ASSERT_EQ(IntegerAt(&window, pageAt(k * 10) + 40), pages + k * 10);
  for (std::uint32_t page = 0; page < pages; ++page)
    ASSERT_EQ(IntegerAt(&window, pageAt(page)), page);
  EXPECT_EQ(file.reads, static_cast<int>(pages));
}

TEST(FileWindowTest, AFileCutWhileReadEndsWhereTheReadDid) {
  SparseFile file(500 * kMegabyte);
  const std::uint64_t at = 300 * kMegabyte;
  file.PutObject(at, 1, "(" + std::string(10000, 'x') + ")");
  file.Shrink(at + 5000);
  FileWindow window(file);
  try {
    ReadIndirectObject(&window, at);
    FAIL() << "an object cut short was read";
  } catch (const ReadError& error) {
    EXPECT_EQ(error.fault(), ReadFault::kDamaged);
  }
  EXPECT_LE(file.reads, 4);
  EXPECT_THROW(window.Read(at + 4000, 2000), ReadError);
}

}  // namespace
}  // namespace pdf
}  // namespace vellox

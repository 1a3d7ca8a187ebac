#include "platform/random_access_file.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include "test_util.h"

namespace vellox {
namespace platform {
namespace {

using vellox::testing::ScratchDirectory;
using vellox::testing::WriteFile;

TEST(RandomAccessFileTest, ReadsByOffsetAndShortAtTheEnd) {
  ScratchDirectory scratch;
  const std::string path = scratch.Path("data");
  WriteFile(path, "0123456789");
  std::unique_ptr<RandomAccessFile> file;
  ASSERT_TRUE(OpenRandomAccessFile(path, &file).ok());
  EXPECT_EQ(file->Size(), 10u);

  std::string bytes = "left over";
  ASSERT_TRUE(file->Read(3, 4, &bytes).ok());
  EXPECT_EQ(bytes, "3456");
  ASSERT_TRUE(file->Read(7, 100, &bytes).ok());
  EXPECT_EQ(bytes, "789");
  ASSERT_TRUE(file->Read(50, 4, &bytes).ok());
  EXPECT_EQ(bytes, "");
}

TEST(RandomAccessFileTest, FileTruncatedUnderUsGivesShortReads) {
  ScratchDirectory scratch;
  const std::string path = scratch.Path("data");
  WriteFile(path, std::string(100000, 'x'));
  std::unique_ptr<RandomAccessFile> file;
  ASSERT_TRUE(OpenRandomAccessFile(path, &file).ok());
  ASSERT_EQ(truncate(path.c_str(), 10), 0);
  std::string bytes;
  ASSERT_TRUE(file->Read(5, 1000, &bytes).ok());
  EXPECT_EQ(bytes, "xxxxx");
  ASSERT_TRUE(file->Read(50000, 1000, &bytes).ok());
  EXPECT_EQ(bytes, "");
}

TEST(RandomAccessFileTest, RefusesWhatIsNoRegularFile) {
  ScratchDirectory scratch;
  const std::string fifo = scratch.Path("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

  // Opening a FIFO for reading would wait for a writer: run it aside, and
  // should it hang, be the writer that frees it.
  auto opening = std::async(std::launch::async, [&fifo] {
    std::unique_ptr<RandomAccessFile> file;
    return OpenRandomAccessFile(fifo, &file);
  });
  if (opening.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
    int writer = open(fifo.c_str(), O_WRONLY);
    opening.wait();
    close(writer);
    FAIL() << "opening a FIFO blocked";
  }
  Status status = opening.get();
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.message(), "not a regular file");

  std::unique_ptr<RandomAccessFile> file;
  status = OpenRandomAccessFile(scratch.path(), &file);
  EXPECT_EQ(status.message(), "is a directory");
  status = OpenRandomAccessFile(scratch.Path("missing"), &file);
  EXPECT_EQ(status.message(), "No such file or directory");
  EXPECT_EQ(file, nullptr);
}

}  // namespace
}  // namespace platform
}  // namespace vellox

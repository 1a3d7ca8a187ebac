// A folder given instead of a PDF: every PDF below it is converted.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "pdf_builder.h"
#include "program_test.h"

namespace vellox {
namespace {

namespace fs = std::filesystem;
using testing::ProgramOptions;
using testing::ProgramResult;
using testing::ReadFile;
using testing::SampleBook;
using testing::WriteFile;

// Every .pdr below `root`, by path relative to it, with its bytes.
std::map<std::string, std::string> BookmarkFiles(const std::string& root) {
  std::map<std::string, std::string> files;
  for (auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.path().extension() == ".pdr")
      files[fs::relative(entry.path(), root).string()] = ReadFile(entry.path().string());
  }
  return files;
}

void RemoveBookmarkFiles(const std::string& root) {
  for (auto& [name, bytes] : BookmarkFiles(root)) fs::remove(fs::path(root) / name);
}

class FolderModeTest : public testing::ProgramTest {
 protected:
  void SetUp() override {
    // Open to the unprivileged user the runs switch to when tests run as
    // root, so that an unreadable file stays unreadable for the program.
    fs::permissions(scratch.path(), fs::perms::all);
    root = scratch.Path("library");
    for (const char* dir : {"library", "library/sub", "library/sub/deep", "library/dir.pdf"}) {
      fs::create_directory(scratch.Path(dir));
      fs::permissions(scratch.Path(dir), fs::perms::all);
    }
  }

  // As an unprivileged user, for whom file modes count.
  ProgramResult Run(const std::vector<std::string>& arguments) const {
    ProgramOptions options;
    options.asNobody = true;
    return ProgramTest::Run(arguments, options);
  }

  void Add(const std::string& name, const std::string& bytes) {
    WriteFile(scratch.Path("library/" + name), bytes);
    fs::permissions(scratch.Path("library/" + name), fs::perms::owner_all | fs::perms::group_read |
                                                          fs::perms::others_read);
  }

  std::string root;
};

TEST_F(FolderModeTest, ConvertsEveryPdfBelowAndReportsInPathOrder) {
  Add("a.pdf", SampleBook());
  Add("b.PDF", SampleBook());
  Add("sub/deep/c.pdf", SampleBook());
  Add("dir.pdf/d.pdf", SampleBook());
  Add("empty.pdf", testing::BuildDocument(3, {}));
  Add("fake.pdf", "hello, world\n");
  Add("notes.txt", "not a PDF name");
  Add("locked.pdf", SampleBook());
  chmod(scratch.Path("library/locked.pdf").c_str(), 0);
  ASSERT_EQ(symlink("..", scratch.Path("library/sub/loop").c_str()), 0);

  ProgramResult one = Run({"library", "-j", "1"});
  std::map<std::string, std::string> filesWithOne = BookmarkFiles(root);
  RemoveBookmarkFiles(root);
  ProgramResult four = Run({"library", "-j", "4", "-ML", "-1"});

  EXPECT_EQ(one.exitCode, 1);
  EXPECT_EQ(one.out, "");  // no banner when a PDF failed
  EXPECT_EQ(one.err,
            "vellox: cannot read '" + root + "/fake.pdf': not a PDF file\n"
            "vellox: cannot read '" + root + "/locked.pdf': Permission denied\n"
            "vellox: 7 PDFs: 4 converted, 1 without outline, 2 failed\n");
  EXPECT_EQ(four.exitCode, one.exitCode);
  EXPECT_EQ(four.err, one.err);
  std::map<std::string, std::string> files = BookmarkFiles(root);
  EXPECT_EQ(files, filesWithOne);
  std::vector<std::string> names;
  for (auto& [name, bytes] : files) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"a.pdr", "b.pdr", "dir.pdf/d.pdr", "empty.pdr",
                                             "sub/deep/c.pdr"}));
  EXPECT_EQ(files["a.pdr"], files["sub/deep/c.pdr"]);
  EXPECT_EQ(files["empty.pdr"].size(), 13u);
}

TEST_F(FolderModeTest, SucceedsWithTheBannerOnceAndHonoursTheDepthLimit) {
  Add("a.pdf", SampleBook());
  Add("sub/b.pdf", SampleBook());
  ProgramResult r = Run({"library", "-ML", "0"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "Converter PDF Outlines to Amazon Kindle bookmarks\n"
            "Copyright (C) 2026 the Vellox developers\n");
  EXPECT_EQ(r.err, "vellox: 2 PDFs: 2 converted, 0 without outline, 0 failed\n");
  // The sample's five top-level bookmarks: the count after 9 bytes of header.
  EXPECT_EQ(ReadFile(root + "/a.pdr").substr(9, 4), std::string("\0\0\0\5", 4));
  EXPECT_EQ(ReadFile(root + "/sub/b.pdr").substr(9, 4), std::string("\0\0\0\5", 4));
}

TEST_F(FolderModeTest, PdfsSharingABookmarkFileConvertOnlyTheFirst) {
  // On the e-reader's file system book.pdr and Book.pdr are one file.
  Add("Book.PDF", SampleBook());
  Add("Book.pdf", testing::BuildDocument(3, {}));
  Add("book.pdf", testing::BuildDocument(3, {}));
  Add("other.pdf", SampleBook());
  ProgramResult r = Run({"library", "-j", "4"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  const std::string reason = "' has the same bookmark file, letter case aside\n";
  EXPECT_EQ(r.err, "vellox: cannot convert '" + root + "/Book.pdf': '" + root + "/Book.PDF" +
                       reason + "vellox: cannot convert '" + root + "/book.pdf': '" + root +
                       "/Book.PDF" + reason +
                       "vellox: 4 PDFs: 2 converted, 0 without outline, 2 failed\n");
  std::map<std::string, std::string> files = BookmarkFiles(root);
  EXPECT_EQ(files.size(), 2u);
  EXPECT_EQ(files["Book.pdr"], files["other.pdr"]);  // from Book.PDF, not the empty one
}

TEST_F(FolderModeTest, ThreadsThatCannotBeStartedLeaveTheWorkToThoseThatCan) {
  Add("a.pdf", SampleBook());
  Add("sub/b.pdf", SampleBook());
  Add("sub/c.pdf", SampleBook());
  // One process for the user: the program itself and no thread; three:
  // some threads, as many as the user's other processes leave.
  for (long limit : {1, 3}) {
    ProgramOptions options;
    options.asNobody = true;
    options.processLimit = limit;
    // The leak checker needs a thread of its own at exit.
    options.environment = {testing::SanitizerOptions("detect_leaks=0")};
    ProgramResult r = ProgramTest::Run({"library", "-j", "8"}, options);
    EXPECT_EQ(r.signal, 0) << limit;
    EXPECT_EQ(r.exitCode, 0) << limit << ": " << r.err;
    EXPECT_EQ(r.err, "vellox: 3 PDFs: 3 converted, 0 without outline, 0 failed\n") << limit;
    std::vector<std::string> left;
    for (auto& entry : fs::recursive_directory_iterator(root))
      if (!entry.is_directory()) left.push_back(fs::relative(entry.path(), root).string());
    std::sort(left.begin(), left.end());  // no temporary file left behind
    EXPECT_EQ(left, (std::vector<std::string>{"a.pdf", "a.pdr", "sub/b.pdf", "sub/b.pdr",
                                              "sub/c.pdf", "sub/c.pdr"}))
        << limit;
    RemoveBookmarkFiles(root);
  }
}

TEST_F(FolderModeTest, SubfolderThatCannotBeReadOrEnteredIsReportedAndFailsTheRun) {
  Add("a.pdf", SampleBook());
  Add("sub/b.pdf", SampleBook());
  // No access at all; names readable but the folder not searchable.
  for (mode_t mode : {0000, 0444, 0666}) {
    chmod(scratch.Path("library/sub").c_str(), mode);
    ProgramResult r = Run({"library"});
    chmod(scratch.Path("library/sub").c_str(), 0777);
    EXPECT_EQ(r.exitCode, 1) << mode;
    EXPECT_EQ(r.out, "") << mode;
    EXPECT_EQ(r.err, "vellox: cannot read '" + root + "/sub': Permission denied\n"
                     "vellox: 1 PDF: 1 converted, 0 without outline, 0 failed\n") << mode;
    EXPECT_TRUE(testing::FileExists(root + "/a.pdr"));
    EXPECT_FALSE(testing::FileExists(root + "/sub/b.pdr"));
  }
}

// The walk goes by paths, which end at the system's limit: a folder whose
// path is longer is one line that says so, and fails the run; the PDFs
// above it are converted.
TEST_F(FolderModeTest, AFolderPastThePathLimitIsOneLineAndFailsTheRun) {
  Add("a.pdf", SampleBook());
  // Made by descriptors, as no path to the bottom can be opened.
  const std::string name(200, 'd');
  std::vector<int> folders = {open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  std::string path = root, pastTheLimit;
  while (path.size() < PATH_MAX + name.size() && folders.back() >= 0) {
    mkdirat(folders.back(), name.c_str(), 0755);
    folders.push_back(openat(folders.back(), name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    path += "/" + name;
    if (pastTheLimit.empty() && path.size() >= PATH_MAX) pastTheLimit = path;
  }
  ASSERT_GE(folders.back(), 0);
  const std::string sample = SampleBook();
  int bottom = openat(folders.back(), "deep.pdf", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_EQ(write(bottom, sample.data(), sample.size()), static_cast<ssize_t>(sample.size()));
  close(bottom);

  ProgramResult r = Run({"library"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "vellox: cannot read '" + pastTheLimit +
                       "': the path is longer than the system's limit of " +
                       std::to_string(PATH_MAX) + " bytes\n"
                       "vellox: 1 PDF: 1 converted, 0 without outline, 0 failed\n");
  EXPECT_TRUE(testing::FileExists(root + "/a.pdr"));

  // Climbing back: the scratch clean-up cannot reach that deep.
  unlinkat(folders.back(), "deep.pdf", 0);
  for (std::size_t i = folders.size() - 1; i > 0; --i) {
    close(folders[i]);
    unlinkat(folders[i - 1], name.c_str(), AT_REMOVEDIR);
  }
  close(folders[0]);
}

TEST_F(FolderModeTest, EmptyFolderAndBadThreadCounts) {
  ProgramResult empty = Run({"library"});
  EXPECT_EQ(empty.exitCode, 0);
  EXPECT_EQ(empty.err, "vellox: 0 PDFs: 0 converted, 0 without outline, 0 failed\n");
  for (const char* jobs : {"0", "x", "-1", "100000", "1025", "00000", "1x", "",
                           "99999999999999999999999"}) {
    ProgramResult r = Run({"library", "-j", jobs});
    EXPECT_EQ(r.exitCode, 2) << jobs;
    EXPECT_EQ(r.err.rfind("vellox: -j takes a number of threads from 1 to 1024\n", 0), 0u);
  }
  // The number counts, not how many digits spell it.
  for (const char* jobs : {"1", "0001", "00001", "000000000002", "1024", "001024"}) {
    ProgramResult r = Run({"library", "-j", jobs});
    EXPECT_EQ(r.exitCode, 0) << jobs << ": " << r.err;
  }
}

}  // namespace
}  // namespace vellox

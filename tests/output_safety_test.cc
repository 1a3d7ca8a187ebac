// A run that fails at any point, or is killed while it writes, leaves an
// existing bookmark file byte for byte as it was and none of its own
// temporary files; a later run is not disturbed by what a killed one left.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <semaphore.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/sync_events.h"
#include "bookmarks/bookmark_file_decoder.h"
#include "pdf_builder.h"
#include "program_test.h"
#include "semaphore_value.h"

namespace vellox {
namespace {

namespace fs = std::filesystem;
using testing::ProgramOptions;
using testing::ProgramResult;
using testing::ReadFile;
using testing::SampleBook;
using testing::ScratchDirectory;
using testing::WriteFile;

const char kOld[] = "an earlier bookmark file, which must survive";

// A PDF whose outline is `items` bookmarks on ten pages, "Item 0" first.
std::string FlatOutline(int items) {
  testing::PdfBuilder builder;
  builder.AddPages(10);
  std::vector<testing::OutlineNode> outline(static_cast<std::size_t>(items));
  for (int i = 0; i < items; ++i) {
    outline[static_cast<std::size_t>(i)].title = "Item " + std::to_string(i);
    outline[static_cast<std::size_t>(i)].entries = "/Dest [" + builder.PageRef(i % 10) + " /Fit]";
  }
  builder.AddOutline(outline);
  builder.AddCatalog();
  return builder.Build();
}

// Names in `dir` that mark a run's temporary file: "<target>.tmp-XXXXXXXX".
std::vector<std::string> TemporaryFiles(const ScratchDirectory& dir) {
  std::vector<std::string> found;
  for (const std::string& name : dir.List())
    if (name.find(".pdr.tmp-") != std::string::npos) found.push_back(name);
  return found;
}

// Equal bytes; on a difference, the sizes and where it starts rather than
// megabytes of both.
::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  std::size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  return ::testing::AssertionFailure() << actual.size() << " bytes where " << expected.size()
                                       << " were expected, differing from offset " << at;
}

// The program's named events are gone, as every run that ends (but by
// SIGKILL) must leave them: set, they say a conversion is going on.
::testing::AssertionResult EventsRemoved() {
  for (const char* name : SyncEvents::kNames)
    if (testing::SemaphoreValue(name) != -1)
      return ::testing::AssertionFailure() << name << " is left";
  return ::testing::AssertionSuccess();
}

using OutputSafetyTest = testing::ProgramTest;

// The disk fills up (the file size limit stands in) at every stage of a
// bookmark file large enough to pass through many stdio buffers: in the
// header, at buffer edges, in the last byte. The limit's signal, SIGXFSZ,
// is at its default action, as a shell leaves it after `ulimit -f`: it
// must not end the run, which reports the failure and cleans up.
TEST_F(OutputSafetyTest, DiskFullAtAnyPointLeavesTheOldFile) {
  WriteFile(scratch.Path("book.pdf"), FlatOutline(8000));
  ProgramResult complete = Run({"book.pdf"});
  ASSERT_EQ(complete.exitCode, 0) << complete.err;
  const std::string written = ReadFile(scratch.Path("book.pdr"));
  const long size = static_cast<long>(written.size());
  ASSERT_GT(size, 100000);

  const std::vector<std::string> before = {"book.pdf", "book.pdr"};
  for (long limit : {0L, 12L, 13L, 4095L, 4096L, 4097L, 65536L, size / 2, size - 1}) {
    WriteFile(scratch.Path("book.pdr"), kOld);
    ProgramOptions options;
    options.fileSizeLimit = limit;
    ProgramResult r = Run({"book.pdf"}, options);
    EXPECT_EQ(r.exitCode, 1) << "limit " << limit;
    EXPECT_EQ(r.out, "") << "limit " << limit;
    EXPECT_EQ(r.err, "vellox: cannot write '" + scratch.Path("book.pdr") + "': File too large\n")
        << "limit " << limit;
    EXPECT_TRUE(SameBytes(ReadFile(scratch.Path("book.pdr")), kOld)) << "limit " << limit;
    EXPECT_EQ(scratch.List(), before) << "limit " << limit;
    EXPECT_TRUE(EventsRemoved()) << "limit " << limit;
  }

  // With room again, the same run replaces the old file completely.
  ProgramOptions exact;
  exact.fileSizeLimit = size;
  ProgramResult r = Run({"book.pdf"}, exact);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(SameBytes(ReadFile(scratch.Path("book.pdr")), written));
  EXPECT_EQ(scratch.List(), before);
}

// Failures before anything is written, with a bookmark file already there.
TEST_F(OutputSafetyTest, FailuresBeforeWritingLeaveTheOldFile) {
  // The runs switch to an unprivileged user, for whom modes count.
  fs::permissions(scratch.path(), fs::perms::all);
  struct Case {
    const char* name;
    fs::perms pdfMode;
    fs::perms directoryMode;
    const char* reason;
  } cases[] = {
      {"unreadable input", fs::perms::none, fs::perms::all, "cannot read '@/book.pdf': Permission denied"},
      {"unwritable directory", fs::perms::owner_all | fs::perms::others_read | fs::perms::group_read,
       fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
           fs::perms::others_read | fs::perms::others_exec,
       "cannot write '@/book.pdr': Permission denied"},
  };
  const std::string sample = SampleBook();
  for (const Case& c : cases) {
    WriteFile(scratch.Path("book.pdf"), sample);
    WriteFile(scratch.Path("book.pdr"), kOld);
    fs::permissions(scratch.Path("book.pdf"), c.pdfMode);
    fs::permissions(scratch.path(), c.directoryMode);
    ProgramOptions options;
    options.asNobody = true;
    ProgramResult r = Run({"book.pdf"}, options);
    fs::permissions(scratch.path(), fs::perms::all);
    fs::permissions(scratch.Path("book.pdf"), fs::perms::owner_all);

    std::string expected = std::string("vellox: ") + c.reason + "\n";
    expected.replace(expected.find('@'), 1, scratch.path());
    EXPECT_EQ(r.exitCode, 1) << c.name;
    EXPECT_EQ(r.err, expected) << c.name;
    EXPECT_TRUE(SameBytes(ReadFile(scratch.Path("book.pdr")), kOld)) << c.name;
    EXPECT_EQ(scratch.List(), (std::vector<std::string>{"book.pdf", "book.pdr"})) << c.name;
  }
}

// Permissions count as they would for a write in place: a bookmark file
// the user may not write is refused (it used to be replaced), and one they
// may write in a folder they may not is rewritten in place (it used to be
// refused).
TEST_F(OutputSafetyTest, ABookmarkFileIsWrittenOnlyWhereItsPermissionsAllow) {
  fs::permissions(scratch.path(), fs::perms::all);
  WriteFile(scratch.Path("book.pdf"), FlatOutline(40));
  ASSERT_EQ(Run({"book.pdf"}).exitCode, 0);
  const std::string fresh = ReadFile(scratch.Path("book.pdr"));
  const std::string longOld(100000, 'x');  // longer than the new file

  const fs::perms readOnlyFolder = fs::perms::owner_all | fs::perms::group_read |
                                   fs::perms::group_exec | fs::perms::others_read |
                                   fs::perms::others_exec;
  const fs::perms everyoneWrites = fs::perms::owner_read | fs::perms::owner_write |
                                   fs::perms::group_read | fs::perms::group_write |
                                   fs::perms::others_read | fs::perms::others_write;
  struct Case {
    const char* what;
    fs::perms folderMode;
    fs::perms fileMode;
    std::string old;
    long fileSizeLimit;
    int exitCode;
    const char* reason;  // after "cannot write '@/book.pdr': "; empty when it succeeds
  } cases[] = {
      {"read-only file", fs::perms::all,
       fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read, kOld, -1, 1,
       "Permission denied"},
      {"writable file in a read-only folder", readOnlyFolder, everyoneWrites, longOld, -1, 0, ""},
      {"writable file in a read-only folder, shorter than the new one", readOnlyFolder,
       everyoneWrites, kOld, -1, 0, ""},
      {"... and no room for the new one", readOnlyFolder, everyoneWrites, kOld,
       static_cast<long>(fresh.size()) - 1, 1, "File too large"},
  };
  for (const Case& c : cases) {
    WriteFile(scratch.Path("book.pdr"), c.old);
    fs::permissions(scratch.Path("book.pdr"), c.fileMode);
    fs::permissions(scratch.path(), c.folderMode);
    struct stat before;
    ASSERT_EQ(stat(scratch.Path("book.pdr").c_str(), &before), 0);
    ProgramOptions options;
    options.asNobody = true;
    options.fileSizeLimit = c.fileSizeLimit;
    ProgramResult r = Run({"book.pdf"}, options);
    fs::permissions(scratch.path(), fs::perms::all);
    struct stat after;
    ASSERT_EQ(stat(scratch.Path("book.pdr").c_str(), &after), 0);

    EXPECT_EQ(r.exitCode, c.exitCode) << c.what;
    if (c.exitCode == 0) {
      EXPECT_EQ(r.err, "") << c.what;
      EXPECT_TRUE(SameBytes(ReadFile(scratch.Path("book.pdr")), fresh)) << c.what;
    } else {
      EXPECT_EQ(r.err, "vellox: cannot write '" + scratch.Path("book.pdr") + "': " + c.reason +
                           "\n")
          << c.what;
      EXPECT_TRUE(SameBytes(ReadFile(scratch.Path("book.pdr")), c.old)) << c.what;
    }
    // Either way the file is the same one, with its own permissions.
    EXPECT_EQ(after.st_ino, before.st_ino) << c.what;
    EXPECT_EQ(after.st_mode, before.st_mode) << c.what;
    EXPECT_EQ(scratch.List(), (std::vector<std::string>{"book.pdf", "book.pdr"})) << c.what;
  }
}

// A bookmark file that is a symbolic link is written where the link leads
// (a user may link book.pdr into a mounted Kindle), with the link left in
// place, but only when that is a .pdr file or none yet: never into a
// file of another kind. What is no regular file is refused; nothing
// waits on a FIFO. Either way for a folder the user may write (the new
// file replaces the old) and one they may not (the old one is rewritten
// in place). `timeout` only guards against a hang, with a wide margin.
TEST_F(OutputSafetyTest, ABookmarkFileThatIsALinkIsWrittenOnlyWhereABookmarkFileBelongs) {
  CopySample("book.pdf");
  ASSERT_EQ(Run({"book.pdf"}).exitCode, 0);
  const std::string fresh = ReadFile(scratch.Path("book.pdr"));
  const std::string other = "%PDF-1.4 another document";
  struct Case {
    const char* what;
    // Makes "books/book.pdr" below the case's own folder, given its path.
    std::function<void(const std::string&)> make;
    bool writableFolders;
    const char* reason;    // after "cannot write '@/books/book.pdr': "; empty for success
    const char* writtenTo;  // the file that gets the bookmarks, when they are written
  };
  auto link = [](const char* to) {
    return [to](const std::string& root) {
      ASSERT_EQ(symlink(to, (root + "/books/book.pdr").c_str()), 0) << to;
    };
  };
  auto fifo = [](const char* name) {
    return [name](const std::string& root) {
      ASSERT_EQ(mkfifo((root + "/" + name).c_str(), 0666), 0) << name;
    };
  };
  auto linkedFifo = [&](const std::string& root) {
    fifo("kindle/pipe.pdr")(root);
    link("../kindle/pipe.pdr")(root);
  };
  auto chain = [&](const std::string& root) {
    ASSERT_EQ(symlink("kindle/Book.PDR", (root + "/hop").c_str()), 0);
    link("../hop")(root);
  };
  const Case cases[] = {
      {"a link to a PDF", link("other.pdf"), true,
       "a symbolic link to '@/books/other.pdf', which is not a .pdr file", nullptr},
      {"a link to a PDF, in place", link("other.pdf"), false,
       "a symbolic link to '@/books/other.pdf', which is not a .pdr file", nullptr},
      {"a link to a bookmark file", link("../kindle/Book.PDR"), true, "", "kindle/Book.PDR"},
      {"a link to a bookmark file, in place", link("../kindle/Book.PDR"), false, "",
       "kindle/Book.PDR"},
      {"a link to a link to a bookmark file", chain, true, "", "kindle/Book.PDR"},
      {"a link to no file yet", link("../kindle/new.pdr"), true, "", "kindle/new.pdr"},
      {"a link to no file yet, in a folder the user may not write", link("../kindle/new.pdr"),
       false, "a symbolic link to '@/books/../kindle/new.pdr': Permission denied", nullptr},
      {"a link to a missing folder", link("../gone/book.pdr"), true,
       "a symbolic link to '@/books/../gone/book.pdr': No such file or directory", nullptr},
      {"a link to itself", link("book.pdr"), true, "Too many levels of symbolic links", nullptr},
      {"a FIFO", fifo("books/book.pdr"), true, "not a regular file", nullptr},
      {"a FIFO, in place", fifo("books/book.pdr"), false, "not a regular file", nullptr},
      {"a link to a FIFO", linkedFifo, false,
       "a symbolic link to '@/books/../kindle/pipe.pdr', which is not a regular file", nullptr},
  };
  for (const Case& c : cases) {
    ScratchDirectory root;
    fs::permissions(root.path(), fs::perms::all);
    for (const char* folder : {"books", "kindle"}) fs::create_directory(root.Path(folder));
    WriteFile(root.Path("books/book.pdf"), SampleBook());
    WriteFile(root.Path("books/other.pdf"), other);
    WriteFile(root.Path("kindle/Book.PDR"), kOld);
    for (const char* file : {"books/book.pdf", "books/other.pdf", "kindle/Book.PDR"})
      fs::permissions(root.Path(file), fs::perms::owner_all | fs::perms::group_all |
                                           fs::perms::others_read | fs::perms::others_write);
    c.make(root.path());
    const fs::perms folderMode =
        c.writableFolders ? fs::perms::all
                          : fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec;
    for (const char* folder : {"books", "kindle"}) fs::permissions(root.Path(folder), folderMode);
    ProgramOptions options;
    options.asNobody = true;
    options.directory = root.Path("books");
    ProgramResult r =
        testing::RunProgram("/usr/bin/timeout", {"120", VELLOX_BINARY, "book.pdf"}, options);
    for (const char* folder : {"books", "kindle"})
      fs::permissions(root.Path(folder), fs::perms::all);

    std::string reason = c.reason;
    if (reason.find('@') != std::string::npos) reason.replace(reason.find('@'), 1, root.path());
    if (reason.empty()) {
      EXPECT_EQ(r.exitCode, 0) << c.what << ": " << r.err;
      EXPECT_TRUE(SameBytes(ReadFile(root.Path(c.writtenTo)), fresh)) << c.what;
    } else {
      EXPECT_EQ(r.exitCode, 1) << c.what;
      EXPECT_EQ(r.err, "vellox: cannot write '" + root.Path("books/book.pdr") + "': " + reason +
                           "\n")
          << c.what;
    }
    EXPECT_EQ(ReadFile(root.Path("books/other.pdf")), other) << c.what;
    if (c.writtenTo == nullptr || std::string(c.writtenTo) != "kindle/Book.PDR") {
      EXPECT_EQ(ReadFile(root.Path("kindle/Book.PDR")), kOld) << c.what;
    }
    // The link (or FIFO) is still what it was, and no temporary file is left.
    struct stat entry;
    ASSERT_EQ(lstat(root.Path("books/book.pdr").c_str(), &entry), 0) << c.what;
    EXPECT_FALSE(S_ISREG(entry.st_mode)) << c.what;
    for (const char* folder : {"books", "kindle"}) {
      for (const auto& file : fs::directory_iterator(root.Path(folder))) {
        EXPECT_EQ(file.path().filename().string().find(".tmp-"), std::string::npos)
            << c.what << ": " << file.path();
      }
    }
  }
}

// What reaches the disk before the run reports success: one file is
// flushed before it takes the old one's place, and its folder after, so
// that pulling a USB drive just after the run loses neither; a folder of
// files is flushed once at the end rather than once per file.
TEST_F(OutputSafetyTest, WrittenFilesAreOnTheDiskWhenTheRunEnds) {
  fs::permissions(scratch.path(), fs::perms::all);
  const std::string sample = SampleBook();
  for (const char* name : {"a.pdf", "b.pdf", "c.pdf"}) WriteFile(scratch.Path(name), sample);
  WriteFile(scratch.Path("a.pdr"), kOld);
  fs::permissions(scratch.Path("a.pdr"), fs::perms::all);
  ScratchDirectory logs;
  fs::permissions(logs.path(), fs::perms::all);

  const fs::perms readOnlyFolder = fs::perms::owner_all | fs::perms::group_read |
                                   fs::perms::group_exec | fs::perms::others_read |
                                   fs::perms::others_exec;
  struct Case {
    const char* what;
    std::vector<std::string> arguments;
    fs::perms folderMode;
    std::vector<std::string> calls;
  } cases[] = {
      {"one file", {"a.pdf"}, fs::perms::all, {"fsync file", "rename", "fsync folder"}},
      {"a folder", {"."}, fs::perms::all, {"rename", "rename", "rename", "syncfs"}},
      {"one file rewritten in place", {"a.pdf"}, readOnlyFolder, {"fsync file"}},
  };
  for (const Case& c : cases) {
    const std::string log = logs.Path(std::string(c.what) + ".log");
    fs::permissions(scratch.path(), c.folderMode);
    ProgramOptions options;
    options.asNobody = true;
    options.environment = {std::string("LD_PRELOAD=") + VELLOX_SYNC_RECORDER,
                           "VELLOX_SYNC_LOG=" + log,
                           testing::SanitizerOptions("verify_asan_link_order=0")};
    ProgramResult r = Run(c.arguments, options);
    fs::permissions(scratch.path(), fs::perms::all);
    EXPECT_EQ(r.exitCode, 0) << c.what << ": " << r.err;
    std::vector<std::string> calls;
    std::string recorded = testing::FileExists(log) ? ReadFile(log) : "";
    for (std::size_t at = 0, end; (end = recorded.find('\n', at)) != std::string::npos;
         at = end + 1)
      calls.push_back(recorded.substr(at, end - at));
    EXPECT_EQ(calls, c.calls) << c.what;
  }
}

// Starts the program on `argument` in `directory` and sends it `signal`
// once the first file it creates or changes there holds `bytes` bytes.
// Returns false unless that signal ended it: it may have finished first
// (it wrote faster than it could be caught).
bool SignalWhileWriting(const std::string& directory, const std::vector<std::string>& arguments,
                        off_t bytes, int signal) {
  int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  EXPECT_GE(watch, 0);
  inotify_add_watch(watch, directory.c_str(), IN_CREATE | IN_MODIFY);
  std::vector<char*> argv = {const_cast<char*>(VELLOX_BINARY)};
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t child = fork();
  if (child == 0) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    if (chdir(directory.c_str()) != 0) _exit(127);
    testing::ResetSignalsAsAShellWould();
    setenv("LC_ALL", "C", 1);
    execv(VELLOX_BINARY, argv.data());
    _exit(127);
  }

  std::string written;
  int status = 0;
  bool ended = false;
  while (!ended) {
    if (written.empty()) {
      pollfd p = {watch, POLLIN, 0};
      poll(&p, 1, 100);
      alignas(inotify_event) char buffer[4096];
      ssize_t got = read(watch, buffer, sizeof buffer);
      for (ssize_t at = 0; got > 0 && at < got;) {
        auto* event = reinterpret_cast<inotify_event*>(buffer + at);
        std::string name = event->len > 0 ? event->name : "";
        if (written.empty() && name.find(".pdr") != std::string::npos)
          written = directory + "/" + name;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    } else {
      struct stat info;
      if (stat(written.c_str(), &info) == 0 && info.st_size >= bytes) {
        kill(child, signal);
        waitpid(child, &status, 0);
        ended = true;
        break;
      }
    }
    ended = waitpid(child, &status, WNOHANG) == child;
  }
  close(watch);
  return WIFSIGNALED(status) && WTERMSIG(status) == signal;
}

// Enough bookmarks that writing them takes a while: a run is caught with
// part of the new file written.
constexpr int kManyItems = 100000;

// Whether `bytes` is a complete bookmark file of the kManyItems outline.
::testing::AssertionResult IsCompleteFile(const std::string& bytes) {
  StatusOr<std::vector<BookmarkEntry>> records = DecodeBookmarkFile(bytes);
  if (!records.ok()) return ::testing::AssertionFailure() << records.status().message();
  if (records->size() != static_cast<std::size_t>(kManyItems))
    return ::testing::AssertionFailure() << records->size() << " records";
  return ::testing::AssertionSuccess();
}

TEST_F(OutputSafetyTest, KilledWhileWritingLeavesTheOldFileAndALaterRunReplacesIt) {
  constexpr int kItems = kManyItems;
  WriteFile(scratch.Path("book.pdf"), FlatOutline(kItems));
  bool killed = false;
  for (int attempt = 0; attempt < 5 && !killed; ++attempt) {
    WriteFile(scratch.Path("book.pdr"), kOld);
    killed = SignalWhileWriting(scratch.path(), {"book.pdf"}, 64 * 1024, SIGKILL);
  }
  ASSERT_TRUE(killed) << "every run finished before it could be killed";
  EXPECT_TRUE(SameBytes(ReadFile(scratch.Path("book.pdr")), kOld));
  const std::vector<std::string> left = TemporaryFiles(scratch);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].size(), std::string("book.pdr.tmp-").size() + 8) << left[0];
  const std::string stray = ReadFile(scratch.Path(left[0]));

  ProgramResult r = Run({"book.pdf"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  StatusOr<std::vector<BookmarkEntry>> decoded =
      DecodeBookmarkFile(ReadFile(scratch.Path("book.pdr")));
  ASSERT_TRUE(decoded.ok()) << decoded.status().message();
  const std::vector<BookmarkEntry>& records = *decoded;
  ASSERT_EQ(records.size(), static_cast<std::size_t>(kItems));
  EXPECT_EQ(records.front().text, "01 Item 0");
  EXPECT_EQ(records.back().text, "10 Item " + std::to_string(kItems - 1));
  // The later run leaves the stray file alone and adds none of its own.
  EXPECT_EQ(TemporaryFiles(scratch), left);
  EXPECT_TRUE(SameBytes(ReadFile(scratch.Path(left[0])), stray));
  // The killed run's events outlive it; the later run, which did not make
  // them, resets them and leaves the names. They are removed here, so that
  // no other test meets them.
  for (const char* name : SyncEvents::kNames) {
    EXPECT_EQ(testing::SemaphoreValue(name), 0) << name;
    sem_unlink((std::string("/") + name).c_str());
  }
}

}  // namespace
}  // namespace vellox

namespace vellox {
namespace {

// The runs the interrupt tests interrupt, on the books a to d: one
// conversion, and a folder in which several threads write at once.
const std::vector<std::string> kBooks = {"a", "b", "c", "d"};
const struct InterruptedRun {
  const char* what;
  std::vector<std::string> arguments;
} kInterruptedRuns[] = {
    {"one file", {"a.pdf"}},
    {"a folder, four threads", {".", "-j", "4"}},
};

// An interrupt in the middle of a rewrite in place (a folder the user may
// not write) waits until the rewrite is whole: the bookmark file is then
// the new one, not its first half followed by the old file's rest. A
// preloaded pwrite writes half of the file, then sends the signal; in a
// folder another thread handles it while the writing thread goes on.
TEST_F(OutputSafetyTest, AnInterruptWaitsForARewriteInPlaceToEnd) {
  fs::permissions(scratch.path(), fs::perms::all);
  const std::string pdf = FlatOutline(2000);
  for (const std::string& book : kBooks) WriteFile(scratch.Path(book + ".pdf"), pdf);
  ASSERT_EQ(Run({"a.pdf"}).exitCode, 0);
  const std::string fresh = ReadFile(scratch.Path("a.pdr"));
  const std::string longOld(fresh.size() * 2, 'x');  // a cut would leave its tail
  const fs::perms readOnlyFolder = fs::perms::owner_all | fs::perms::others_read |
                                   fs::perms::others_exec;
  for (const InterruptedRun& c : kInterruptedRuns) {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
      const std::string what = std::string(c.what) + ", " + strsignal(signal);
      for (const std::string& book : kBooks) {
        WriteFile(scratch.Path(book + ".pdr"), longOld);
        fs::permissions(scratch.Path(book + ".pdr"), fs::perms::all);
      }
      fs::permissions(scratch.path(), readOnlyFolder);
      ProgramOptions options;
      options.asNobody = true;
      options.environment = {std::string("LD_PRELOAD=") + VELLOX_INTERRUPTING_PWRITE,
                             "VELLOX_PWRITE_SIGNAL=" + std::to_string(signal),
                             testing::SanitizerOptions("verify_asan_link_order=0")};
      ProgramResult r = Run(c.arguments, options);
      fs::permissions(scratch.path(), fs::perms::all);
      EXPECT_EQ(r.signal, signal) << what << ": exit " << r.exitCode << ", " << r.err;
      bool rewritten = false;
      for (const std::string& book : kBooks) {
        const std::string kept = ReadFile(scratch.Path(book + ".pdr"));
        if (kept == longOld) continue;
        rewritten = true;
        EXPECT_TRUE(SameBytes(kept, fresh)) << what << ": " << book;
      }
      EXPECT_TRUE(rewritten) << what;
      EXPECT_TRUE(EventsRemoved()) << what;
    }
  }
}

// Ctrl-C, a shutdown's SIGTERM, a closed terminal's SIGHUP: each run ends
// by that signal, as its parent expects, and takes its temporary files
// with it; the old bookmark file stays. In a folder, several threads are
// writing when the signal comes.
TEST_F(OutputSafetyTest, InterruptedRunsRemoveTheirTemporaryFiles) {
  const std::string pdf = FlatOutline(kManyItems);
  for (const std::string& book : kBooks) WriteFile(scratch.Path(book + ".pdf"), pdf);
  for (const InterruptedRun& c : kInterruptedRuns) {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
      const std::string what = std::string(c.what) + ", " + strsignal(signal);
      bool interrupted = false;
      for (int attempt = 0; attempt < 5 && !interrupted; ++attempt) {
        for (const std::string& book : kBooks) WriteFile(scratch.Path(book + ".pdr"), kOld);
        interrupted = SignalWhileWriting(scratch.path(), c.arguments, 64 * 1024, signal);
      }
      ASSERT_TRUE(interrupted) << what << ": every run finished before the signal";
      EXPECT_EQ(TemporaryFiles(scratch), std::vector<std::string>()) << what;
      // A book finished before the signal is complete; the others are old.
      for (const std::string& book : kBooks) {
        const std::string kept = ReadFile(scratch.Path(book + ".pdr"));
        if (kept != kOld) {
          EXPECT_TRUE(IsCompleteFile(kept)) << what << ": " << book;
        }
      }
      if (c.arguments.size() == 1) {
        EXPECT_TRUE(SameBytes(ReadFile(scratch.Path("a.pdr")), kOld)) << what;
      }
    }
  }
}

}  // namespace
}  // namespace vellox

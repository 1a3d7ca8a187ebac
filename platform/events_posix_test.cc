#include "platform/events.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <semaphore.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <climits>
#include <string>

#include "platform/interrupts.h"
#include "semaphore_value.h"
#include "test_util.h"

namespace vellox {
namespace platform {
namespace {

using vellox::testing::SemaphoreValue;

TEST(EventsTest, SetAndResetAreIdempotent) {
  const char* name = "VelloxTestEvent";
  sem_unlink("/VelloxTestEvent");
  EventHandle event = CreateNamedEvent(name);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(SemaphoreValue(name), 0);
  SetNamedEvent(event);
  SetNamedEvent(event);
  EXPECT_EQ(SemaphoreValue(name), 1);
  ResetNamedEvent(event);
  ResetNamedEvent(event);
  EXPECT_EQ(SemaphoreValue(name), 0);
  CloseNamedEvent(event);
  EXPECT_EQ(SemaphoreValue(name), -1);  // this process made it, so the name goes
}

TEST(EventsTest, AnEventMadeByAnotherProcessKeepsItsStateAndName) {
  const char* name = "VelloxTestShared";
  sem_unlink("/VelloxTestShared");
  sem_t* other = sem_open("/VelloxTestShared", O_CREAT | O_EXCL, 0600, 1);
  ASSERT_NE(other, SEM_FAILED);
  EventHandle event = CreateNamedEvent(name);
  EXPECT_EQ(SemaphoreValue(name), 1);
  ResetNamedEvent(event);
  CloseNamedEvent(event);
  EXPECT_EQ(SemaphoreValue(name), 0);  // still there: it is the other process's
  sem_close(other);
  sem_unlink("/VelloxTestShared");
}

// What another party leaves under an event's name: each is refused with
// a reason (a warning for the run to print), and the event's calls go on
// harmlessly. Before, the empty file ended the run with a bus error, and
// what this user cannot open (another user's semaphore of mode 0600, a
// directory) was left out without a word.
TEST(EventsTest, PlantedFilesAreRefused) {
  const char* name = "VelloxTestPlanted";
  const std::string file = std::string("/dev/shm/sem.") + name;
  enum class Kind { kFile, kSymbolicLink, kDirectory };
  constexpr uid_t kNobody = 65534;
  struct Case {
    const char* what;
    Kind kind;
    std::string bytes;
    uid_t owner;      // 0: this process's own uid
    mode_t mode;
    bool asNobody;    // the event is made by a process of another user
    const char* reason;
  } cases[] = {
      {"empty file", Kind::kFile, "", 0, 0600, false, "is not a semaphore"},
      {"too long", Kind::kFile, std::string(sizeof(sem_t) + 1, '\0'), 0, 0600, false,
       "is not a semaphore"},
      {"another user's", Kind::kFile, std::string(sizeof(sem_t), '\0'), kNobody, 0644, false,
       "belongs to another user"},
      {"another user's, closed to this one", Kind::kFile, std::string(sizeof(sem_t), '\0'), 0,
       0600, true, "belongs to another user"},
      {"symbolic link", Kind::kSymbolicLink, "", 0, 0, false, "is a symbolic link"},
      {"directory", Kind::kDirectory, "", 0, 0755, false, "is not a semaphore"},
  };
  for (const Case& c : cases) {
    // Only root can give files away or act as another user.
    if ((c.owner != 0 || c.asNobody) && geteuid() != 0) continue;
    unlink(file.c_str());
    rmdir(file.c_str());
    if (c.kind == Kind::kSymbolicLink) {
      ASSERT_EQ(symlink("/dev/null", file.c_str()), 0) << c.what;
    } else if (c.kind == Kind::kDirectory) {
      ASSERT_EQ(mkdir(file.c_str(), c.mode), 0) << c.what;
    } else {
      vellox::testing::WriteFile(file, c.bytes);
      ASSERT_EQ(chmod(file.c_str(), c.mode), 0) << c.what;
      if (c.owner != 0) {
        ASSERT_EQ(chown(file.c_str(), c.owner, c.owner), 0) << c.what;
      }
    }
    std::string refusal;
    if (c.asNobody) {
      int result[2];
      ASSERT_EQ(pipe(result), 0);
      pid_t child = fork();
      if (child == 0) {
        if (setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(127);
        std::string seen;
        EventHandle event = CreateNamedEvent(name, &seen);
        ssize_t written = write(result[1], seen.data(), seen.size());
        static_cast<void>(written);
        _exit(event == nullptr ? 0 : 1);
      }
      close(result[1]);
      char buffer[512];
      for (ssize_t n; (n = read(result[0], buffer, sizeof buffer)) > 0;)
        refusal.append(buffer, static_cast<std::size_t>(n));
      close(result[0]);
      int status = 0;
      ASSERT_EQ(waitpid(child, &status, 0), child);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.what;
    } else {
      EventHandle event = CreateNamedEvent(name, &refusal);
      EXPECT_EQ(event, nullptr) << c.what;
      SetNamedEvent(event);
      ResetNamedEvent(event);
      CloseNamedEvent(event);
    }
    EXPECT_EQ(refusal, std::string("ignoring the named event '") + name + "': '" + file + "' " +
                           c.reason)
        << c.what;
    struct stat info;
    EXPECT_EQ(lstat(file.c_str(), &info), 0) << c.what << ": not ours to remove";
  }
  unlink(file.c_str());
  rmdir(file.c_str());
}

// A semaphore raised far past 1 (by another program of the same user) is
// not drained unit by unit: a reset takes a few units and returns.
TEST(EventsTest, ResetOfAHugeValueIsBounded) {
  const char* name = "VelloxTestHuge";
  sem_unlink("/VelloxTestHuge");
  sem_t* other = sem_open("/VelloxTestHuge", O_CREAT | O_EXCL, 0600, SEM_VALUE_MAX);
  ASSERT_NE(other, SEM_FAILED);
  std::string refusal;
  EventHandle event = CreateNamedEvent(name, &refusal);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(refusal, "");
  ResetNamedEvent(event);
  int value = SemaphoreValue(name);
  EXPECT_LT(value, SEM_VALUE_MAX);
  EXPECT_GT(value, SEM_VALUE_MAX - 1000);
  CloseNamedEvent(event);
  sem_close(other);
  sem_unlink("/VelloxTestHuge");
}

// Left behind, an interrupted run's events would say forever that it is
// still running.
TEST(EventsTest, AnInterruptedRunRemovesTheEventsItMade) {
  sem_unlink("/VelloxTestInterrupted");
  pid_t child = fork();
  if (child == 0) {
    std::signal(SIGTERM, SIG_DFL);
    RemoveTemporaryFilesOnInterrupt();
    EventHandle event = CreateNamedEvent("VelloxTestInterrupted");
    if (event == nullptr) _exit(1);
    SetNamedEvent(event);
    raise(SIGTERM);
    _exit(2);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "exit " << WEXITSTATUS(status);
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
  EXPECT_EQ(SemaphoreValue("VelloxTestInterrupted"), -1);
  sem_unlink("/VelloxTestInterrupted");
}

// A null handle stands for an event that could not be made or was
// refused: the calls take it and return, and touch no event there is.
TEST(EventsTest, NullHandlesAreIgnored) {
  const char* name = "VelloxTestBesideNull";
  sem_unlink("/VelloxTestBesideNull");
  EventHandle event = CreateNamedEvent(name);
  ASSERT_NE(event, nullptr);
  SetNamedEvent(event);
  ResetNamedEvent(nullptr);
  CloseNamedEvent(nullptr);
  EXPECT_EQ(SemaphoreValue(name), 1);  // neither reset nor removed
  ResetNamedEvent(event);
  SetNamedEvent(nullptr);
  EXPECT_EQ(SemaphoreValue(name), 0);  // nor set
  CloseNamedEvent(event);
  EXPECT_EQ(SemaphoreValue(name), -1);
}

}  // namespace
}  // namespace platform
}  // namespace vellox

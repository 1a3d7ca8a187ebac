#include "platform/events.h"

#include <fcntl.h>
#include <semaphore.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/files.h"
#include "platform/interrupts.h"

namespace vellox {
namespace platform {
namespace {

// A reset takes at most this many units off a semaphore: one that someone
// raised to billions would otherwise keep the run draining it for minutes.
constexpr int kMostTakenByReset = 16;

// An event is a named semaphore whose value is 0 (reset) or 1 (set).
struct NamedEvent {
  sem_t* semaphore;
  std::string name;
  bool created;  // this process made it, so it removes the name at the end
  bool mapped;   // mapped here rather than by sem_open: unmapped at the end
};

#ifdef __linux__
constexpr bool kMapsExisting = true;

// Where the C library keeps the semaphore `name`.
std::string SemaphoreFile(const std::string& name) { return "/dev/shm/sem." + name; }

// Opens an existing semaphore through the file the C library keeps it in,
// after checking that file: another user's file (on a shared /dev/shm) or
// one of the wrong size (a short one makes the first access a bus error)
// is refused. Mapping the checked descriptor itself, rather than opening
// the name again, leaves no moment in which the file could be swapped.
sem_t* OpenExisting(const std::string& name, std::string* refusal) {
  const std::string file = SemaphoreFile(name);
  int fd = open(file.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  struct stat info;
  std::string problem;
  if (fd < 0) {
    // What would not open (another user's semaphore of mode 0600, a
    // directory) is looked at without opening it, for the reason.
    const int error = errno;
    if (lstat(file.c_str(), &info) != 0) {
      problem = error == ENOENT ? "" : "cannot be opened: " + ErrorText(error);
    } else if (S_ISLNK(info.st_mode)) {
      problem = "is a symbolic link";
    } else if (!S_ISREG(info.st_mode)) {
      problem = "is not a semaphore";
    } else if (info.st_uid != geteuid()) {
      problem = "belongs to another user";
    } else {
      problem = "cannot be opened: " + ErrorText(error);
    }
  } else if (fstat(fd, &info) != 0) {
    problem = "cannot be examined";
  } else if (!S_ISREG(info.st_mode) || info.st_size != static_cast<off_t>(sizeof(sem_t))) {
    problem = "is not a semaphore";
  } else if (info.st_uid != geteuid()) {
    problem = "belongs to another user";
  }
  void* mapping = MAP_FAILED;
  if (fd >= 0 && problem.empty())
    mapping = mmap(nullptr, sizeof(sem_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (fd >= 0) close(fd);
  if (!problem.empty() && refusal != nullptr)
    *refusal = "ignoring the named event '" + name + "': '" + file + "' " + problem;
  return mapping == MAP_FAILED ? SEM_FAILED : static_cast<sem_t*>(mapping);
}
#else
constexpr bool kMapsExisting = false;

// No file to name: an interrupted run leaves the semaphore behind.
std::string SemaphoreFile(const std::string& /*name*/) { return std::string(); }

sem_t* OpenExisting(const std::string& name, std::string* /*refusal*/) {
  return sem_open(("/" + name).c_str(), 0);
}
#endif

}  // namespace

EventHandle CreateNamedEvent(const char* name, std::string* refusal) {
  std::string semaphoreName = std::string("/") + name;
  bool created = true;
  // A new semaphore is this process's own: created whole, never reused.
  sem_t* semaphore = sem_open(semaphoreName.c_str(), O_CREAT | O_EXCL, 0600, 0);
  if (semaphore == SEM_FAILED && errno == EEXIST) {
    created = false;
    semaphore = OpenExisting(name, refusal);
  }
  if (semaphore == SEM_FAILED) return nullptr;
  // An interrupted run removes its own events with its temporary files:
  // left set, they would tell other programs that it is still running.
  if (created && !SemaphoreFile(name).empty()) TrackTemporaryFile(SemaphoreFile(name));
  // An event that already exists keeps its state, as on Windows.
  return new NamedEvent{semaphore, semaphoreName, created, !created && kMapsExisting};
}

void SetNamedEvent(EventHandle handle) {
  if (handle == nullptr) return;
  sem_t* semaphore = static_cast<NamedEvent*>(handle)->semaphore;
  int value = 0;
  if (sem_getvalue(semaphore, &value) == 0 && value == 0) sem_post(semaphore);
}

void ResetNamedEvent(EventHandle handle) {
  if (handle == nullptr) return;
  sem_t* semaphore = static_cast<NamedEvent*>(handle)->semaphore;
  for (int taken = 0; taken < kMostTakenByReset && sem_trywait(semaphore) == 0; ++taken) {
  }
}

void CloseNamedEvent(EventHandle handle) {
  if (handle == nullptr) return;
  NamedEvent* event = static_cast<NamedEvent*>(handle);
  if (event->mapped) {
    munmap(event->semaphore, sizeof(sem_t));
  } else {
    sem_close(event->semaphore);
  }
  if (event->created) {
    sem_unlink(event->name.c_str());
    if (!SemaphoreFile(event->name.substr(1)).empty())
      ForgetTemporaryFile(SemaphoreFile(event->name.substr(1)));
  }
  delete event;
}

}  // namespace platform
}  // namespace vellox

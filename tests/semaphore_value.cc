#include "semaphore_value.h"

#include <fcntl.h>
#include <semaphore.h>

#include <string>

namespace vellox {
namespace testing {

int SemaphoreValue(const char* name) {
  sem_t* s = sem_open((std::string("/") + name).c_str(), 0);
  if (s == SEM_FAILED) return -1;
  int value = -2;
  sem_getvalue(s, &value);
  sem_close(s);
  return value;
}

}  // namespace testing
}  // namespace vellox

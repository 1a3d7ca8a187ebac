#ifndef VELLOX_TESTS_SEMAPHORE_VALUE_H_
#define VELLOX_TESTS_SEMAPHORE_VALUE_H_

namespace vellox {
namespace testing {

// The value of the named semaphore behind a POSIX event `name` as another
// process sees it, or -1 when no such name exists.
int SemaphoreValue(const char* name);

}  // namespace testing
}  // namespace vellox

#endif  // VELLOX_TESTS_SEMAPHORE_VALUE_H_

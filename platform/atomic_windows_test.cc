#include "platform/atomic.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace vellox {
namespace platform {
namespace {

TEST(AtomicTest, ReturnsTheValueItProduced) {
  volatile std::int32_t count = 1;
  EXPECT_EQ(AtomicIncrement(&count), 2);
  EXPECT_EQ(AtomicDecrement(&count), 1);
  EXPECT_EQ(AtomicDecrement(&count), 0);
  EXPECT_EQ(AtomicDecrement(&count), -1);
  count = INT32_MAX;
  EXPECT_EQ(AtomicIncrement(&count), INT32_MIN);  // wraps as a 32-bit LONG
}

volatile std::int32_t g_shared = 0;
constexpr int kRounds = 200000;

DWORD WINAPI IncrementMany(void*) {
  for (int i = 0; i < kRounds; ++i) AtomicIncrement(&g_shared);
  return 0;
}

TEST(AtomicTest, ConcurrentIncrementsAreNeverLost) {
  HANDLE threads[4];
  for (HANDLE& thread : threads) {
    thread = CreateThread(nullptr, 0, IncrementMany, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
  }
  WaitForMultipleObjects(4, threads, TRUE, INFINITE);
  for (HANDLE thread : threads) CloseHandle(thread);
  EXPECT_EQ(g_shared, 4 * kRounds);
}

}  // namespace
}  // namespace platform
}  // namespace vellox

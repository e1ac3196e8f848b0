// The program's own guard for function-local statics: one start, however many
// threads ask at once, and a static whose start needs another one.
#include <windows.h>

#include <vector>

#include "gtest/gtest.h"

namespace {

volatile LONG g_slow_starts = 0;

struct SlowStart {
  SlowStart() {
    ::InterlockedIncrement(&g_slow_starts);
    ::Sleep(200);  // every other thread arrives while this one is starting
    ready = 42;
  }
  int ready = 0;
};

int SlowValue() {
  static SlowStart value;
  return value.ready;
}

DWORD WINAPI AskForSlowValue(void* result) {
  *static_cast<int*>(result) = SlowValue();
  return 0;
}

struct Inner {
  Inner() : value(7) {}
  int value;
};

int InnerValue() {
  static Inner inner;
  return inner.value;
}

struct Outer {
  Outer() : value(InnerValue() * 6) {}
  int value;
};

int OuterValue() {
  static Outer outer;
  return outer.value;
}

}  // namespace

TEST(StaticGuardTest, AStaticStartsOnceWhileOtherThreadsWaitForIt) {
  constexpr int kThreads = 8;
  std::vector<int> results(kThreads, 0);
  std::vector<HANDLE> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.push_back(::CreateThread(nullptr, 0, AskForSlowValue, &results[i], 0, nullptr));
    ASSERT_NE(threads.back(), nullptr);
  }
  ASSERT_EQ(::WaitForMultipleObjects(kThreads, threads.data(), TRUE, 10000), WAIT_OBJECT_0);
  for (HANDLE thread : threads) ::CloseHandle(thread);
  EXPECT_EQ(g_slow_starts, 1);
  for (int result : results) EXPECT_EQ(result, 42);
}

TEST(StaticGuardTest, AStaticMayStartAnotherWhileStarting) {
  EXPECT_EQ(OuterValue(), 42);
  EXPECT_EQ(OuterValue(), 42);
}

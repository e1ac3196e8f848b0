// Many threads posting to a thread that is being stopped, destroyed and
// recreated: no crash, no hang, and every task's captures are destroyed.
#include <gtest/gtest.h>

#include <process.h>

#include <memory>
#include <vector>

#include "TestSupport.h"
#include "base/TaskPosting.h"
#include "base/ThreadRegistry.h"

using fwtest::TestThread;
using fwtest::Tracked;
using nbase::TimeDelta;

namespace {

constexpr int kTargetId = 150;
constexpr int kPosters = 6;
constexpr DWORD kRunMilliseconds = 3000;

struct StressState {
  LONG stop = 0;
  LONG posted = 0;
  LONG accepted = 0;
  LONG ran = 0;
};

unsigned __stdcall Poster(void* argument) {
  auto* state = static_cast<StressState*>(argument);
  unsigned n = 0;
  while (::InterlockedCompareExchange(&state->stop, 0, 0) == 0) {
    Tracked payload;
    ::InterlockedIncrement(&state->posted);
    LONG* ran = &state->ran;
    switch (n++ % 4) {
      case 0:
      case 1:
        if (nbase::PostTaskToThread(kTargetId, [payload, ran] { ::InterlockedIncrement(ran); }))
          ::InterlockedIncrement(&state->accepted);
        break;
      case 2: {
        // A proxy kept past the loop's death, then released here.
        auto proxy = nbase::ThreadRegistry::LoopProxyForThread(kTargetId);
        if (proxy && proxy->PostDelayedTask([payload, ran] { ::InterlockedIncrement(ran); },
                                            TimeDelta::FromMilliseconds(n % 7)))
          ::InterlockedIncrement(&state->accepted);
        ::Sleep(0);
        if (proxy) proxy->PostTask([payload] {});
        break;
      }
      case 3:
        // Tasks whose destruction posts again, as a dying loop discards them.
        nbase::PostTaskToThread(kTargetId, [payload, ran] {
          ::InterlockedIncrement(ran);
          nbase::PostTaskToThread(kTargetId, [payload] {});
        });
        break;
    }
  }
  return 0;
}

TEST(StressTest, PostingWhileTheTargetLoopIsDestroyed) {
  const LONG live_before = Tracked::live();
  StressState state;
  std::vector<HANDLE> posters;
  for (int i = 0; i < kPosters; ++i) {
    posters.push_back(
        reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, Poster, &state, 0, nullptr)));
    ASSERT_NE(posters.back(), nullptr);
  }

  int generations = 0;
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < kRunMilliseconds) {
    auto target = std::make_unique<TestThread>("stress target", kTargetId);
    ASSERT_TRUE(target->Start());
    ::Sleep(generations % 5);
    if (generations % 2) target->RequestStop();
    target.reset();
    ++generations;
  }

  ::InterlockedExchange(&state.stop, 1);
  ASSERT_EQ(::WaitForMultipleObjects(kPosters, posters.data(), TRUE, 10000), WAIT_OBJECT_0);
  for (HANDLE h : posters) ::CloseHandle(h);

  std::printf("%d target generations, %ld posts, %ld accepted, %ld ran\n", generations,
              state.posted, state.accepted, state.ran);
  EXPECT_GT(generations, 10);
  EXPECT_GT(state.accepted, 0);
  EXPECT_GT(state.ran, 0);
  // Run or discarded, every task was destroyed.
  EXPECT_EQ(Tracked::live(), live_before);
}

}  // namespace

// The toolkit's animation timers on a real UI thread: a counted timer stops by itself, and a
// timer whose owner is gone never runs again.
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "base/WeakCallbackFlag.h"
#include "ui/core/AnimationTimers.h"

TEST(AnimationTimersTest, RunsItsCountThenStopsAndDiesWithItsOwner) {
  uitest::RunAsUiThread([] {
    auto& timers = ui::AnimationTimers::Instance();
    nbase::WeakCallbackFlag owner;
    int runs = 0;
    ASSERT_TRUE(timers.AddTimer(
        owner.AcquireWeakFlag(), [&] { ++runs; }, 20, 3));
    EXPECT_TRUE(timers.IsTicking());
    ASSERT_TRUE(uitest::PumpUntil([&] { return runs == 3; }, 5000));
    uitest::PumpFor(150);
    EXPECT_EQ(runs, 3);
    EXPECT_FALSE(timers.IsTicking());

    int unlimited = 0;
    timers.AddTimer(
        owner.AcquireWeakFlag(), [&] { ++unlimited; }, 10, -1);
    ASSERT_TRUE(uitest::PumpUntil([&] { return unlimited >= 2; }, 5000));
    owner.Cancel();
    const int atCancel = unlimited;
    uitest::PumpFor(150);
    EXPECT_EQ(unlimited, atCancel);
    EXPECT_EQ(timers.GetTimerCount(), 0u);
    EXPECT_FALSE(timers.IsTicking());
  });
}

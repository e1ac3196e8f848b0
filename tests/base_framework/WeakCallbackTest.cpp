// Weak callbacks, repeating tasks and observer lists.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "TestSupport.h"
#include "base/ObserverList.h"
#include "base/SupportWeakCallback.h"
#include "base/TaskPosting.h"
#include "base/TickTime.h"
#include "base/WeakCallbackFlag.h"

// These tests call callbacks whose owner is deliberately gone; the weak flag
// keeps them from touching it, which GCC's flow analysis cannot see.
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ >= 12
#pragma GCC diagnostic ignored "-Wuse-after-free"
#endif

using fwtest::Event;
using fwtest::RunOn;
using fwtest::TestThread;
using fwtest::WaitUntil;
using nbase::TickTime;
using nbase::TimeDelta;

namespace {

class Owner : public nbase::SupportWeakCallback {
 public:
  bool Answer() const { return true; }
  int* Where() { return &value_; }
  void Bump(int by) { value_ += by; }
  int value_ = 0;
};

TEST(WeakCallbackTest, ExpiredCallbackReturnsFalseNullOrNothing) {
  auto owner = std::make_unique<Owner>();
  Owner* raw = owner.get();
  auto answer = owner->MakeWeakCallback([raw] { return raw->Answer(); });
  auto where = owner->MakeWeakCallback([raw] { return raw->Where(); });
  int calls = 0;
  auto bump = owner->MakeWeakCallback([raw, &calls](int by) {
    ++calls;
    raw->Bump(by);
  });
  auto copy_of_bump = bump;

  EXPECT_TRUE(answer());
  EXPECT_EQ(where(), &raw->value_);
  bump(2);
  copy_of_bump(3);
  EXPECT_EQ(raw->value_, 5);

  owner.reset();
  EXPECT_FALSE(answer());
  EXPECT_EQ(where(), nullptr);
  bump(7);
  copy_of_bump(7);
  EXPECT_EQ(calls, 2);
  EXPECT_TRUE(bump.Expired());

  // As a posted task the expired callback runs without effect.
  TestThread worker("weak worker");
  ASSERT_TRUE(worker.Start());
  ASSERT_TRUE(RunOn(worker.proxy(), [copy_of_bump] { copy_of_bump(1); }));
  EXPECT_EQ(calls, 2);
}

TEST(WeakCallbackTest, CancelledFlagExpiresOnlyEarlierCallbacks) {
  nbase::WeakCallbackFlag flag;
  int fired = 0;
  auto before = flag.MakeWeakCallback([&fired] { ++fired; });
  flag.Cancel();
  auto after = flag.MakeWeakCallback([&fired] { fired += 10; });
  before();
  after();
  EXPECT_EQ(fired, 10);
  EXPECT_TRUE(before.Expired());
  EXPECT_FALSE(after.Expired());
}

// Counts the tasks a loop runs, to prove that nothing more gets posted.
class TaskCounter : public nbase::MessageLoop::TaskObserver {
 public:
  void BeforeTask() override { ::InterlockedIncrement(&count_); }
  void AfterTask() override {}
  LONG count() { return ::InterlockedCompareExchange(&count_, 0, 0); }

 private:
  LONG count_ = 0;
};

class RepeatingTaskTest : public ::testing::Test {
 protected:
  static constexpr int kId = 140;

  void SetUp() override {
    ASSERT_TRUE(worker_.Start());
    ASSERT_TRUE(RunOn(worker_.proxy(),
                      [this] { nbase::MessageLoop::Current()->AddTaskObserver(&counter_); }));
  }
  void TearDown() override {
    RunOn(worker_.proxy(),
          [this] { nbase::MessageLoop::Current()->RemoveTaskObserver(&counter_); });
  }

  // Waits long enough for several more intervals and returns the tasks run meanwhile.
  LONG TasksRunDuring(DWORD ms) {
    const LONG before = counter_.count();
    ::Sleep(ms);
    return counter_.count() - before;
  }

  TaskCounter counter_;
  TestThread worker_{"repeating worker", kId};
};

TEST_F(RepeatingTaskTest, RunsTheGivenNumberOfTimesThenStopsPosting) {
  for (int times : {1, 3}) {
    Owner owner;
    LONG calls = 0;
    const LONG tasks_before = counter_.count();
    const TickTime start = TickTime::Now();
    TickTime first_run;
    nbase::PostRepeatingTaskToThread(kId, owner.MakeWeakCallback(std::function<void()>([&] {
      if (calls == 0) first_run = TickTime::Now();
      ::InterlockedIncrement(&calls);
    })),
                                     TimeDelta::FromMilliseconds(30), times);
    ASSERT_TRUE(WaitUntil([&] { return ::InterlockedCompareExchange(&calls, 0, 0) >= times; }));
    EXPECT_EQ(TasksRunDuring(200), 0);
    EXPECT_EQ(calls, times);
    EXPECT_EQ(counter_.count() - tasks_before, times);
    // The first run comes one interval after the call.
    EXPECT_GE((first_run - start).ToMilliseconds(), 29);
  }
}

TEST_F(RepeatingTaskTest, CountOfZeroPostsNothing) {
  Owner owner;
  int calls = 0;
  const LONG tasks_before = counter_.count();
  nbase::PostRepeatingTaskToThread(kId,
                                   owner.MakeWeakCallback(std::function<void()>([&] { ++calls; })),
                                   TimeDelta::FromMilliseconds(5), 0);
  ::Sleep(100);
  ASSERT_TRUE(RunOn(worker_.proxy(), [] {}));
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(counter_.count() - tasks_before, 1);  // only the sync task
}

TEST_F(RepeatingTaskTest, ForeverStopsWhenTheOwnerDiesInsideTheTask) {
  auto* owner = new Owner();
  LONG calls = 0;
  nbase::PostRepeatingTaskToThread(kId, owner->MakeWeakCallback(std::function<void()>([&] {
    if (::InterlockedIncrement(&calls) == 5) delete owner;
  })),
                                   TimeDelta::FromMilliseconds(10), -1);
  ASSERT_TRUE(WaitUntil([&] { return ::InterlockedCompareExchange(&calls, 0, 0) >= 5; }));
  EXPECT_EQ(TasksRunDuring(200), 0);
  EXPECT_EQ(calls, 5);
}

TEST_F(RepeatingTaskTest, ForeverStopsWhenTheFlagIsCancelled) {
  nbase::WeakCallbackFlag* flag = nullptr;
  ASSERT_TRUE(RunOn(worker_.proxy(), [&] { flag = new nbase::WeakCallbackFlag(); }));
  LONG calls = 0;
  nbase::PostRepeatingTaskToThread(
      kId, flag->MakeWeakCallback(std::function<void()>([&] { ::InterlockedIncrement(&calls); })),
      TimeDelta::FromMilliseconds(10), -1);
  ASSERT_TRUE(WaitUntil([&] { return ::InterlockedCompareExchange(&calls, 0, 0) >= 3; }));
  ASSERT_TRUE(RunOn(worker_.proxy(), [&] { flag->Cancel(); }));
  const LONG calls_at_cancel = ::InterlockedCompareExchange(&calls, 0, 0);
  ::Sleep(50);  // the step already queued may still come and find the flag gone
  EXPECT_EQ(TasksRunDuring(200), 0);
  EXPECT_EQ(calls, calls_at_cancel);
  RunOn(worker_.proxy(), [&] { delete flag; });
}

TEST_F(RepeatingTaskTest, StopsWhenTheTargetThreadGoesAway) {
  Owner owner;
  LONG calls = 0;
  nbase::PostRepeatingTaskToThread(
      kId, owner.MakeWeakCallback(std::function<void()>([&] { ::InterlockedIncrement(&calls); })),
      TimeDelta::FromMilliseconds(10), -1);
  ASSERT_TRUE(WaitUntil([&] { return ::InterlockedCompareExchange(&calls, 0, 0) >= 2; }));
  worker_.Stop();
  const LONG calls_at_stop = calls;
  ::Sleep(100);
  EXPECT_EQ(calls, calls_at_stop);
  // Nothing to post to: the task is dropped.
  nbase::PostRepeatingTaskToThread(
      kId, owner.MakeWeakCallback(std::function<void()>([&] { ::InterlockedIncrement(&calls); })),
      TimeDelta::FromMilliseconds(1), 3);
  ::Sleep(50);
  EXPECT_EQ(calls, calls_at_stop);
}

struct Listener {
  virtual ~Listener() = default;
  virtual void Ping() = 0;
};

struct RecordingListener : Listener {
  RecordingListener(std::vector<int>* log, int id) : log(log), id(id) {}
  void Ping() override {
    log->push_back(id);
    if (on_ping) on_ping();
  }
  std::vector<int>* log;
  int id;
  std::function<void()> on_ping;
};

TEST(ObserverListTest, RemovalDuringNotifySkipsTheEntryAndCompactsAfterwards) {
  nbase::ObserverList<Listener> list;
  std::vector<int> log;
  RecordingListener a(&log, 1), b(&log, 2), c(&log, 3), late(&log, 4);
  list.AddObserver(&a);
  list.AddObserver(&b);
  list.AddObserver(&c);
  int depth_seen = 0;
  a.on_ping = [&] {
    list.RemoveObserver(&b);
    list.AddObserver(&late);
    // A nested notification must not compact under the outer one.
    if (depth_seen++ == 0) list.Notify([](Listener* l) { (void)l; });
  };
  list.Notify([](Listener* l) { l->Ping(); });
  EXPECT_EQ(log, (std::vector<int>{1, 3, 4}));
  EXPECT_EQ(list.size_with_removed(), 3u);  // b's entry went once the notification ended

  log.clear();
  a.on_ping = nullptr;
  list.RemoveObserver(&a);
  list.Notify([](Listener* l) { l->Ping(); });
  EXPECT_EQ(log, (std::vector<int>{3, 4}));
}

}  // namespace

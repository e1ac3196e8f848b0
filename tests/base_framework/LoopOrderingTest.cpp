// The order in which a loop runs immediate, delayed and deferred tasks, and
// what happens to queued tasks when it stops.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "TestSupport.h"
#include "base/MessageLoop.h"
#include "base/TickTime.h"

using fwtest::Event;
using fwtest::RunOn;
using fwtest::TestThread;
using nbase::MessageLoop;
using nbase::QueuedTask;
using nbase::TickTime;
using nbase::TimeDelta;

namespace {

class LoopOrderingTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(worker_.Start()); }

  // Only touched on the worker thread until the test reads it after a sync.
  std::vector<int> order_;
  TestThread worker_{"ordering worker"};
};

TEST_F(LoopOrderingTest, ImmediateTasksRunInPostingOrderAcrossBursts) {
  auto proxy = worker_.proxy();
  for (int i = 0; i < 2000; ++i) {
    ASSERT_TRUE(proxy->PostTask([this, i] { order_.push_back(i); }));
    if (i % 500 == 0) ::Sleep(1);  // let the worker swap queues mid-stream
  }
  ASSERT_TRUE(RunOn(proxy, [] {}));
  ASSERT_EQ(order_.size(), 2000u);
  for (int i = 0; i < 2000; ++i) ASSERT_EQ(order_[i], i);
}

TEST_F(LoopOrderingTest, DelayedTasksRunByDueTimeThenByPostingOrder) {
  Event done;
  ASSERT_TRUE(RunOn(worker_.proxy(), [this, &done] {
    MessageLoop* loop = MessageLoop::Current();
    const TickTime due = TickTime::Now() + TimeDelta::FromMilliseconds(40);
    // Twenty tasks sharing one run time, then one due earlier, posted last.
    for (int i = 0; i < 20; ++i)
      loop->EnqueueIncoming(QueuedTask([this, i] { order_.push_back(i); }, due, true));
    loop->EnqueueIncoming(
        QueuedTask([this] { order_.push_back(-1); }, due - TimeDelta::FromMilliseconds(20), true));
    loop->EnqueueIncoming(
        QueuedTask([&done] { done.Signal(); }, due + TimeDelta::FromMilliseconds(5), true));
  }));
  ASSERT_TRUE(done.Wait());
  ASSERT_EQ(order_.size(), 21u);
  EXPECT_EQ(order_[0], -1);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(order_[i + 1], i);
}

TEST_F(LoopOrderingTest, EarlierDueTaskRunsFirstWhateverThePostingOrder) {
  auto proxy = worker_.proxy();
  Event done;
  const TickTime start = TickTime::Now();
  std::vector<TickTime> ran_at(3);
  proxy->PostDelayedTask(
      [&] {
        order_.push_back(60);
        ran_at[2] = TickTime::Now();
        done.Signal();
      },
      TimeDelta::FromMilliseconds(60));
  proxy->PostDelayedTask(
      [&] {
        order_.push_back(20);
        ran_at[0] = TickTime::Now();
      },
      TimeDelta::FromMilliseconds(20));
  proxy->PostDelayedTask(
      [&] {
        order_.push_back(40);
        ran_at[1] = TickTime::Now();
      },
      TimeDelta::FromMilliseconds(40));
  proxy->PostTask([this] { order_.push_back(0); });
  ASSERT_TRUE(done.Wait());
  EXPECT_EQ(order_, (std::vector<int>{0, 20, 40, 60}));
  // A delayed task never runs early.
  EXPECT_GE((ran_at[0] - start).ToMilliseconds(), 19);
  EXPECT_GE((ran_at[2] - start).ToMilliseconds(), 59);
}

TEST_F(LoopOrderingTest, TaskPostedByARunningTaskRunsAfterItAndEmptyTasksAreSkipped) {
  bool first_done = false;
  bool second_saw_first_done = false;
  Event done;
  ASSERT_TRUE(RunOn(worker_.proxy(), [&] {
    MessageLoop::Current()->PostTask([&] {
      second_saw_first_done = first_done;
      done.Signal();
    });
    MessageLoop::Current()->PostTask(nbase::Task());
    ::Sleep(30);
    first_done = true;
  }));
  ASSERT_TRUE(done.Wait());
  EXPECT_TRUE(second_saw_first_done);
}

TEST_F(LoopOrderingTest, TopLevelTaskWaitsForTheOutermostRun) {
  Event done;
  ASSERT_TRUE(RunOn(worker_.proxy(), [&] {
    MessageLoop* loop = MessageLoop::Current();
    loop->PostTopLevelTask([&] {
      order_.push_back(3);
      done.Signal();
    });
    loop->PostTask([&] { order_.push_back(1); });
    loop->PostTask([loop] { loop->Quit(); });
    // A nested run inside this task must opt in to running tasks.
    loop->SetNestableTasksAllowed(true);
    EXPECT_EQ(loop->run_depth(), 1);
    loop->Run();
    order_.push_back(2);
  }));
  ASSERT_TRUE(done.Wait());
  EXPECT_EQ(order_, (std::vector<int>{1, 2, 3}));
}

TEST(LoopStopTest, DueTasksRunBeforeQuitAndFutureTasksDieUnrunOnTheLoopThread) {
  auto worker = std::make_unique<TestThread>("stopping worker");
  ASSERT_TRUE(worker->Start());
  const DWORD worker_tid = worker->thread_id();
  auto proxy = worker->proxy();

  Event release;
  std::vector<int> order;
  bool future_ran = false;
  DWORD future_destroyed_on = 0;
  ASSERT_TRUE(proxy->PostTask([&release] { release.Wait(); }));
  for (int i = 0; i < 50; ++i) proxy->PostTask([&order, i] { order.push_back(i); });
  proxy->PostDelayedTask([&order] { order.push_back(1000); }, TimeDelta::FromMilliseconds(1));
  {
    auto witness = std::make_shared<fwtest::DestroyWitness>(&future_destroyed_on);
    proxy->PostDelayedTask([witness, &future_ran] { future_ran = true; },
                           TimeDelta::FromSeconds(3600));
  }
  worker->RequestStop();
  for (int i = 50; i < 60; ++i) proxy->PostTask([&order, i] { order.push_back(i); });
  ::Sleep(20);  // the 1 ms task is due by now
  release.Signal();
  worker->Stop();

  EXPECT_FALSE(worker->is_running());
  EXPECT_EQ(worker->message_loop(), nullptr);
  // Immediate tasks in posting order, the due delayed one somewhere among them.
  ASSERT_EQ(order.size(), 61u);
  auto due = std::find(order.begin(), order.end(), 1000);
  ASSERT_NE(due, order.end());
  order.erase(due);
  for (int i = 0; i < 60; ++i) EXPECT_EQ(order[i], i);
  EXPECT_FALSE(future_ran);
  EXPECT_EQ(future_destroyed_on, worker_tid);
  // The proxy outlives the loop and refuses further work.
  EXPECT_FALSE(proxy->PostTask([] {}));

  // A stopped thread can be started again.
  ASSERT_TRUE(worker->Start());
  EXPECT_TRUE(RunOn(worker->proxy(), [] {}));
}

}  // namespace

// Registration of framework threads, posting by identifier, loop proxies and
// failures to start a thread.
#include <gtest/gtest.h>

#include <memory>

#include "TestSupport.h"
#include "base/MessageLoopProxy.h"
#include "base/TaskPosting.h"
#include "base/ThreadRegistry.h"

using fwtest::Event;
using fwtest::RunOn;
using fwtest::TestThread;
using nbase::MessageLoop;
using nbase::MessageLoopProxy;
using nbase::ThreadRegistry;
using nbase::TimeDelta;

namespace {

constexpr int kId = 130;

TEST(RegistryTest, DoubleRegistrationStaysBoundUntilTheSecondUnregister) {
  TestThread worker("twice", kId);
  worker.on_init = [] { ThreadRegistry::RegisterCurrentThread(kId); };
  ASSERT_TRUE(worker.Start());
  auto proxy = worker.proxy();
  EXPECT_EQ(ThreadRegistry::LoopProxyForThread(kId), proxy);

  ASSERT_TRUE(RunOn(proxy, [] { ThreadRegistry::UnregisterCurrentThread(); }));
  EXPECT_EQ(ThreadRegistry::LoopProxyForThread(kId), proxy);
  ASSERT_TRUE(RunOn(proxy, [] { ThreadRegistry::UnregisterCurrentThread(); }));
  EXPECT_EQ(ThreadRegistry::LoopProxyForThread(kId), nullptr);
  EXPECT_FALSE(nbase::PostTaskToThread(kId, [] {}));
  // An extra unregister is harmless.
  ASSERT_TRUE(RunOn(proxy, [] { ThreadRegistry::UnregisterCurrentThread(); }));
}

TEST(RegistryTest, SecondThreadCannotTakeABoundIdentifier) {
  TestThread first("first", kId);
  TestThread second("second", kId);
  ASSERT_TRUE(first.Start());
  ASSERT_TRUE(second.Start());
  DWORD ran_on = 0;
  ASSERT_TRUE(nbase::PostTaskToThread(kId, [&ran_on] { ran_on = ::GetCurrentThreadId(); }));
  ASSERT_TRUE(RunOn(first.proxy(), [] {}));
  EXPECT_EQ(ran_on, first.thread_id());

  // The ignored registration of the second thread does not unbind the first.
  second.Stop();
  EXPECT_EQ(ThreadRegistry::LoopProxyForThread(kId), first.proxy());
  first.Stop();
  EXPECT_EQ(ThreadRegistry::LoopProxyForThread(kId), nullptr);
}

TEST(RegistryTest, NegativeIdentifiersAndForeignThreadsNeverRegister) {
  TestThread worker("negative");
  worker.on_init = [] { ThreadRegistry::RegisterCurrentThread(-3); };
  ASSERT_TRUE(worker.Start());
  EXPECT_EQ(ThreadRegistry::LoopProxyForThread(-3), nullptr);
  EXPECT_EQ(ThreadRegistry::LoopProxyForThread(-1), nullptr);
  EXPECT_TRUE(RunOn(worker.proxy(), [] {}));  // it runs all the same

  // The test's own thread is no framework thread.
  ThreadRegistry::RegisterCurrentThread(kId + 1);
  EXPECT_EQ(ThreadRegistry::LoopProxyForThread(kId + 1), nullptr);
}

TEST(RegistryTest, PostingToAnUnknownIdentifierFailsAndDestroysTheTask) {
  DWORD destroyed_on = 0;
  bool ran = false;
  {
    auto witness = std::make_shared<fwtest::DestroyWitness>(&destroyed_on);
    EXPECT_FALSE(nbase::PostTaskToThread(999, [witness, &ran] { ran = true; }));
  }
  EXPECT_FALSE(ran);
  EXPECT_EQ(destroyed_on, ::GetCurrentThreadId());
}

TEST(RegistryTest, ThreadIsUnboundOnceItsLoopHasEnded) {
  auto worker = std::make_unique<TestThread>("ends", kId);
  bool bound_in_cleanup = false;
  worker->on_cleanup = [&] {
    bound_in_cleanup = ThreadRegistry::LoopProxyForThread(kId) != nullptr;
  };
  ASSERT_TRUE(worker->Start());
  worker->Stop();
  EXPECT_TRUE(bound_in_cleanup);
  EXPECT_EQ(ThreadRegistry::LoopProxyForThread(kId), nullptr);
}

TEST(RegistryTest, RegistrationLeftBehindByCleanupIsDropped) {
  TestThread worker("forgetful");
  worker.on_init = [] { ThreadRegistry::RegisterCurrentThread(kId); };
  ASSERT_TRUE(worker.Start());
  EXPECT_NE(ThreadRegistry::LoopProxyForThread(kId), nullptr);
  worker.Stop();
  EXPECT_EQ(ThreadRegistry::LoopProxyForThread(kId), nullptr);
}

TEST(ProxyTest, ProxyOfADeadLoopRefusesEveryPost) {
  std::shared_ptr<MessageLoopProxy> proxy;
  {
    TestThread worker("short-lived", kId);
    ASSERT_TRUE(worker.Start());
    proxy = ThreadRegistry::LoopProxyForThread(kId);
    ASSERT_NE(proxy, nullptr);
    EXPECT_FALSE(proxy->IsOnTargetThread());
    bool on_target = false;
    ASSERT_TRUE(
        RunOn(proxy, [&] { on_target = MessageLoop::Current()->proxy()->IsOnTargetThread(); }));
    EXPECT_TRUE(on_target);
  }
  const LONG live_before = fwtest::Tracked::live();
  fwtest::Tracked tracked;
  EXPECT_FALSE(proxy->PostTask([tracked] {}));
  EXPECT_FALSE(proxy->PostDelayedTask([tracked] {}, TimeDelta::FromMilliseconds(5)));
  EXPECT_FALSE(proxy->PostDelayedTask([tracked] {}, TimeDelta()));
  EXPECT_FALSE(proxy->PostTopLevelTask([tracked] {}));
  EXPECT_FALSE(proxy->PostTopLevelDelayedTask([tracked] {}, TimeDelta::FromMilliseconds(5)));
  EXPECT_FALSE(proxy->IsOnTargetThread());
  // Refused tasks are destroyed at once, on the posting thread.
  EXPECT_EQ(fwtest::Tracked::live(), live_before + 1);
}

TEST(ProxyTest, ZeroDelayPostsLikeAnImmediateTask) {
  TestThread worker("zero delay");
  ASSERT_TRUE(worker.Start());
  auto proxy = worker.proxy();
  std::vector<int> order;
  Event release;
  proxy->PostTask([&release] { release.Wait(); });
  proxy->PostTask([&order] { order.push_back(1); });
  proxy->PostDelayedTask([&order] { order.push_back(2); }, TimeDelta());
  proxy->PostTask([&order] { order.push_back(3); });
  release.Signal();
  ASSERT_TRUE(RunOn(proxy, [] {}));
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

// A proxy that reports where it was destroyed.
class WitnessProxy : public MessageLoopProxy {
 public:
  WitnessProxy(MessageLoop* loop, DWORD* destroyed_on, Event* destroyed)
      : MessageLoopProxy(loop), destroyed_on_(destroyed_on), destroyed_(destroyed) {}
  ~WitnessProxy() override {
    *destroyed_on_ = ::GetCurrentThreadId();
    destroyed_->Signal();
  }

 private:
  DWORD* destroyed_on_;
  Event* destroyed_;
};

TEST(ProxyTest, LastReleaseOnAForeignThreadDeletesOnTheTargetThread) {
  TestThread worker("proxy owner");
  ASSERT_TRUE(worker.Start());
  DWORD destroyed_on = 0;
  Event destroyed;
  std::shared_ptr<MessageLoopProxy> proxy;
  ASSERT_TRUE(RunOn(worker.proxy(), [&] {
    proxy = MessageLoopProxy::Adopt(
        new WitnessProxy(MessageLoop::Current(), &destroyed_on, &destroyed));
  }));
  ASSERT_TRUE(proxy->PostTask([] {}));
  proxy.reset();  // on the test thread
  ASSERT_TRUE(destroyed.Wait());
  EXPECT_EQ(destroyed_on, worker.thread_id());

  // Released on its own thread it goes at once.
  Event destroyed_again;
  bool gone_at_once = false;
  ASSERT_TRUE(RunOn(worker.proxy(), [&] {
    auto own = MessageLoopProxy::Adopt(
        new WitnessProxy(MessageLoop::Current(), &destroyed_on, &destroyed_again));
    own.reset();
    gone_at_once = destroyed_again.IsSignaled();
  }));
  EXPECT_TRUE(gone_at_once);
}

TEST(ProxyTest, ForeignReleaseAfterTheLoopStoppedRunningStillFreesTheProxy) {
  auto worker = std::make_unique<TestThread>("retiring owner");
  Event in_cleanup;
  Event go_on;
  worker->on_cleanup = [&] {
    in_cleanup.Signal();
    go_on.Wait();
  };
  ASSERT_TRUE(worker->Start());
  DWORD destroyed_on = 0;
  Event destroyed;
  std::shared_ptr<MessageLoopProxy> proxy;
  ASSERT_TRUE(RunOn(worker->proxy(), [&] {
    proxy = MessageLoopProxy::Adopt(
        new WitnessProxy(MessageLoop::Current(), &destroyed_on, &destroyed));
  }));
  const DWORD worker_tid = worker->thread_id();
  worker->RequestStop();
  ASSERT_TRUE(in_cleanup.Wait());
  // The loop no longer runs: the deleting task can only be discarded with it.
  proxy.reset();
  EXPECT_FALSE(destroyed.IsSignaled());
  go_on.Signal();
  worker.reset();
  ASSERT_TRUE(destroyed.Wait(5000));
  EXPECT_EQ(destroyed_on, worker_tid);
}

// A thread whose OS thread cannot be created.
class UnstartableThread : public TestThread {
 public:
  explicit UnstartableThread(uintptr_t result) : TestThread("unstartable"), result_(result) {}
  bool fail = true;

 protected:
  uintptr_t BeginThread(ThreadEntry entry, void* argument, unsigned* thread_id) override {
    if (!fail) return TestThread::BeginThread(entry, argument, thread_id);
    *thread_id = 4242;
    return result_;
  }

 private:
  uintptr_t result_;
};

TEST(ThreadStartTest, FailedCreationLeavesTheThreadStoppedAndReusable) {
  for (uintptr_t failure : {uintptr_t{0}, uintptr_t{1}}) {
    UnstartableThread thread(failure);
    EXPECT_FALSE(thread.Start());
    EXPECT_FALSE(thread.is_running());
    EXPECT_EQ(thread.thread_id(), 0u);
    EXPECT_EQ(thread.thread_handle(), nullptr);
    EXPECT_EQ(thread.message_loop(), nullptr);
    thread.RequestStop();  // nothing to stop
    thread.Stop();

    thread.fail = false;
    ASSERT_TRUE(thread.Start());
    EXPECT_TRUE(thread.is_running());
    EXPECT_TRUE(RunOn(thread.proxy(), [] {}));
    // Starting a thread that has a loop is refused.
    EXPECT_FALSE(thread.Start());
  }
}

}  // namespace

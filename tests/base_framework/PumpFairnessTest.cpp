// The UI pump between window messages and tasks: messages sent from other
// threads, what their handlers leave behind, and window messages and timers
// while the thread runs a long stream of tasks.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "TestSupport.h"

using fwtest::Event;
using fwtest::RunOn;
using fwtest::TestThread;
using nbase::LoopType;
using nbase::MessageLoop;
using nbase::TimeDelta;

namespace {

constexpr wchar_t kWindowClass[] = L"FrameworkTestPumpFairness";
constexpr UINT kPostTasks = WM_APP + 1;
constexpr UINT kCountMe = WM_APP + 2;
constexpr UINT_PTR kTimerId = 1;

// What the test window's handlers do and saw; touched only on the UI thread,
// read by the test after the thread has been stopped or through RunOn.
struct WindowLog {
  Event* immediate_ran = nullptr;
  Event* delayed_ran = nullptr;
  LONG timer_ticks = 0;
  LONG counted_messages = 0;
};
WindowLog* g_log = nullptr;

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case kPostTasks: {
      // Runs inside whatever call delivers the sent message.
      Event* immediate = g_log->immediate_ran;
      Event* delayed = g_log->delayed_ran;
      MessageLoop::Current()->PostTask([immediate] { immediate->Signal(); });
      MessageLoop::Current()->PostDelayedTask([delayed] { delayed->Signal(); },
                                              TimeDelta::FromMilliseconds(30));
      return 7;
    }
    case kCountMe:
      ++g_log->counted_messages;
      return 0;
    case WM_TIMER:
      if (wparam == kTimerId) {
        ++g_log->timer_ticks;
        return 0;
      }
      break;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

class PumpFairnessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_log = &log_;
    ASSERT_TRUE(ui_.StartWithLoop(LoopType::Ui));
    ASSERT_TRUE(RunOn(ui_.proxy(), [this] {
      WNDCLASSEXW wc = {};
      wc.cbSize = sizeof(wc);
      wc.lpfnWndProc = TestWindowProc;
      wc.hInstance = ::GetModuleHandleW(nullptr);
      wc.lpszClassName = kWindowClass;
      ::RegisterClassExW(&wc);
      window_ = ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  wc.hInstance, nullptr);
    }));
    ASSERT_NE(window_, nullptr);
  }

  void TearDown() override {
    RunOn(ui_.proxy(), [this] { ::DestroyWindow(window_); });
    ui_.Stop();
    g_log = nullptr;
  }

  WindowLog log_;
  TestThread ui_{"fairness ui"};
  HWND window_ = nullptr;
};

TEST_F(PumpFairnessTest, TasksLeftByASentMessageRunWithoutFurtherInput) {
  // Sent while the pump sleeps, and while it is busy with a task; each time the
  // handler's immediate and delayed tasks must run with nothing else arriving.
  for (int round = 0; round < 20; ++round) {
    Event immediate, delayed;
    log_.immediate_ran = &immediate;
    log_.delayed_ran = &delayed;
    if (round % 2 == 1) ui_.proxy()->PostTask([] { ::Sleep(20); });
    DWORD_PTR result = 0;
    ASSERT_NE(::SendMessageTimeoutW(window_, kPostTasks, 0, 0, SMTO_NORMAL, 5000, &result), 0)
        << "round " << round;
    EXPECT_EQ(result, 7u);
    EXPECT_TRUE(immediate.Wait(5000)) << "round " << round;
    EXPECT_TRUE(delayed.Wait(5000)) << "round " << round;
    if (round % 4 == 0) ::Sleep(50);  // let the pump fall asleep again
  }
}

TEST_F(PumpFairnessTest, MessagesAndTimersGetThroughAStreamOfTasks) {
  // A chain of tasks, each posting the next from the UI thread itself, keeps
  // the loop busy for about a second; the window's timer and the messages
  // posted along the way must still be served while it runs.
  constexpr int kChain = 400;
  constexpr int kMessages = 20;
  Event chain_done;
  LONG ticks_during_chain = -1, messages_during_chain = -1;
  std::function<void(int)> step = [&](int remaining) {
    ::Sleep(2);
    if (remaining % (kChain / kMessages) == 0) ::PostMessageW(window_, kCountMe, 0, 0);
    if (remaining > 0) {
      MessageLoop::Current()->PostTask([&step, remaining] { step(remaining - 1); });
    } else {
      ticks_during_chain = log_.timer_ticks;
      messages_during_chain = log_.counted_messages;
      chain_done.Signal();
    }
  };
  ASSERT_TRUE(RunOn(ui_.proxy(), [&] {
    ::SetTimer(window_, kTimerId, 10, nullptr);
    MessageLoop::Current()->PostTask([&step] { step(kChain - 1); });
  }));
  ASSERT_TRUE(chain_done.Wait(60000));
  RunOn(ui_.proxy(), [this] { ::KillTimer(window_, kTimerId); });
  // The chain took at least 800 ms: a 10 ms timer that is served fires often.
  EXPECT_GE(ticks_during_chain, 5);
  // Every message but the one posted by the last task was served before the chain ended.
  EXPECT_GE(messages_during_chain, kMessages - 1);
}

}  // namespace

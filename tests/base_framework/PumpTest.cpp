// The three pumps on real threads: the UI pump with native modal dialogs,
// WM_QUIT and its timer, the default pump's idle wait, the completion port.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <vector>

#include "TestSupport.h"
#include "base/IOMessageLoop.h"
#include "base/UIMessageLoop.h"
#include "base/WinIOMessagePump.h"
#include "base/WinUIMessagePump.h"

using fwtest::Event;
using fwtest::RunOn;
using fwtest::TestThread;
using fwtest::WaitUntil;
using nbase::LoopType;
using nbase::MessageLoop;
using nbase::TimeDelta;

namespace {

BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM param) {
  wchar_t class_name[64] = {};
  ::GetClassNameW(window, class_name, 64);
  if (std::wcscmp(class_name, L"#32770") == 0 && ::IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  return TRUE;
}

// The visible message box of `thread_id`, or null.
HWND FindDialogOf(DWORD thread_id) {
  HWND found = nullptr;
  ::EnumThreadWindows(thread_id, FindVisibleDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

void CloseDialog(HWND dialog) { ::PostMessageW(dialog, WM_COMMAND, IDOK, 0); }

class UiPumpTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(ui_.StartWithLoop(LoopType::Ui)); }

  TestThread ui_{"ui thread"};
};

TEST_F(UiPumpTest, TaskPostedDuringATaskWaitsOutItsModalDialog) {
  auto proxy = ui_.proxy();
  LONG dialog_closed = 0;
  LONG own_ran = 0, foreign_ran = 0, delayed_ran = 0;
  bool own_ran_after_dialog = false, foreign_ran_after_dialog = false;
  bool delayed_ran_after_dialog = false;
  Event all_ran;

  ASSERT_TRUE(proxy->PostTask([&] {
    MessageLoop* loop = MessageLoop::Current();
    loop->PostTask([&] {
      own_ran_after_dialog = dialog_closed != 0;
      ::InterlockedExchange(&own_ran, 1);
    });
    loop->PostDelayedTask(
        [&] {
          delayed_ran_after_dialog = dialog_closed != 0;
          ::InterlockedExchange(&delayed_ran, 1);
          all_ran.Signal();
        },
        TimeDelta::FromMilliseconds(20));
    ::MessageBoxW(nullptr, L"modal inside a task", L"framework test", MB_OK);
    dialog_closed = 1;
  }));

  HWND dialog = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (dialog = FindDialogOf(ui_.thread_id())) != nullptr; }));
  proxy->PostTask([&] {
    foreign_ran_after_dialog = dialog_closed != 0;
    ::InterlockedExchange(&foreign_ran, 1);
  });
  ::Sleep(300);  // wake-up and timer messages reach the pump window meanwhile
  EXPECT_EQ(::InterlockedCompareExchange(&own_ran, 0, 0), 0);
  EXPECT_EQ(::InterlockedCompareExchange(&foreign_ran, 0, 0), 0);
  EXPECT_EQ(::InterlockedCompareExchange(&delayed_ran, 0, 0), 0);
  CloseDialog(dialog);

  ASSERT_TRUE(all_ran.Wait());
  ASSERT_TRUE(RunOn(proxy, [] {}));
  EXPECT_TRUE(own_ran_after_dialog);
  EXPECT_TRUE(foreign_ran_after_dialog);
  EXPECT_TRUE(delayed_ran_after_dialog);
}

// A window whose WM_APP handler opens a message box outside any task.
constexpr wchar_t kDialogHostClass[] = L"FrameworkTestDialogHost";
bool g_in_host_modal = false;

LRESULT CALLBACK DialogHostProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_APP) {
    g_in_host_modal = true;
    ::MessageBoxW(window, L"modal outside tasks", L"framework test", MB_OK);
    g_in_host_modal = false;
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

TEST_F(UiPumpTest, TasksRunInsideAModalDialogOpenedOutsideAnyTask) {
  auto proxy = ui_.proxy();
  HWND host = nullptr;
  ASSERT_TRUE(RunOn(proxy, [&] {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DialogHostProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kDialogHostClass;
    ::RegisterClassExW(&wc);
    host = ::CreateWindowExW(0, kDialogHostClass, L"host", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                             nullptr, nullptr, wc.hInstance, nullptr);
    ::PostMessageW(host, WM_APP, 0, 0);
  }));
  ASSERT_NE(host, nullptr);

  HWND dialog = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (dialog = FindDialogOf(ui_.thread_id())) != nullptr; }));

  bool immediate_in_modal = false, delayed_in_modal = false;
  Event immediate_ran, delayed_ran;
  // Through the wake-up message the dialog's own loop dispatches to the pump window.
  proxy->PostTask([&] {
    immediate_in_modal = g_in_host_modal && ::IsWindow(dialog);
    immediate_ran.Signal();
  });
  ASSERT_TRUE(immediate_ran.Wait(5000));
  // Through the pump window's timer.
  proxy->PostDelayedTask(
      [&] {
        delayed_in_modal = g_in_host_modal && ::IsWindow(dialog);
        delayed_ran.Signal();
        CloseDialog(dialog);
      },
      TimeDelta::FromMilliseconds(50));
  ASSERT_TRUE(delayed_ran.Wait(5000));
  EXPECT_TRUE(immediate_in_modal);
  EXPECT_TRUE(delayed_in_modal);
  ASSERT_TRUE(WaitUntil([&] { return FindDialogOf(ui_.thread_id()) == nullptr; }));
  RunOn(proxy, [&] { ::DestroyWindow(host); });
}

TEST(UiPumpQuitTest, WmQuitEndsEveryRunAndIsPostedAgainWithItsCode) {
  TestThread ui("quitting ui");
  WPARAM code_after_run = 0;
  bool quit_still_queued = false;
  ui.on_cleanup = [&] {
    MSG msg;
    quit_still_queued = ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
    code_after_run = msg.wParam;
  };
  ASSERT_TRUE(ui.StartWithLoop(LoopType::Ui));

  bool nested_returned = false;
  bool outer_task_done = false;
  Event in_nested;
  ui.proxy()->PostTask([&] {
    MessageLoop* loop = MessageLoop::Current();
    loop->SetNestableTasksAllowed(true);
    loop->PostTask([&in_nested] { in_nested.Signal(); });
    loop->Run();  // nested: ended by the WM_QUIT below
    nested_returned = true;
    outer_task_done = true;
  });
  ASSERT_TRUE(in_nested.Wait());
  ASSERT_TRUE(::PostThreadMessageW(ui.thread_id(), WM_QUIT, 42, 0));
  // The outer run ends too: the thread finishes on its own.
  ASSERT_EQ(::WaitForSingleObject(ui.thread_handle(), 10000), WAIT_OBJECT_0);
  ui.Stop();
  EXPECT_TRUE(nested_returned);
  EXPECT_TRUE(outer_task_done);
  EXPECT_TRUE(quit_still_queued);
  EXPECT_EQ(code_after_run, 42u);
}

// Replaces one import of this executable, to watch the pump's calls to user32.
class ImportPatch {
 public:
  ImportPatch(const char* dll, const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
    for (; desc->Name; ++desc) {
      if (_stricmp(reinterpret_cast<char*>(base + desc->Name), dll) != 0) continue;
      auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->OriginalFirstThunk);
      auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
      for (; names->u1.AddressOfData; ++names, ++slots) {
        if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
        auto* by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
        if (std::strcmp(reinterpret_cast<char*>(by_name->Name), function) != 0) continue;
        slot_ = &slots->u1.Function;
        original_ = *slot_;
        Write(reinterpret_cast<decltype(original_)>(replacement));
        return;
      }
    }
  }
  ~ImportPatch() {
    if (slot_) Write(original_);
  }
  bool ok() const { return slot_ != nullptr; }
  void* original() const { return reinterpret_cast<void*>(original_); }

 private:
  void Write(decltype(IMAGE_THUNK_DATA::u1.Function) value) {
    DWORD old = 0;
    ::VirtualProtect(slot_, sizeof(*slot_), PAGE_READWRITE, &old);
    *slot_ = value;
    ::VirtualProtect(slot_, sizeof(*slot_), old, &old);
  }

  decltype(IMAGE_THUNK_DATA::u1.Function)* slot_ = nullptr;
  decltype(IMAGE_THUNK_DATA::u1.Function) original_ = 0;
};

struct TimerCall {
  HWND window;
  UINT_PTR id;
  UINT period;
};
std::vector<TimerCall>* g_timer_calls = nullptr;
using SetTimerFn = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC);
SetTimerFn g_real_set_timer = nullptr;

UINT_PTR WINAPI RecordingSetTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC proc) {
  if (g_timer_calls) g_timer_calls->push_back({window, id, period});
  return g_real_set_timer(window, id, period, proc);
}

TEST_F(UiPumpTest, DelayedTaskAlreadyDueArmsATenMillisecondTimer) {
  HWND pump_window = nullptr;
  UINT_PTR pump_timer = 0;
  ASSERT_TRUE(RunOn(ui_.proxy(), [&] {
    auto* loop = static_cast<nbase::UIMessageLoop*>(MessageLoop::Current());
    pump_window = loop->ui_pump()->message_window();
    pump_timer = loop->ui_pump()->timer_id();
  }));

  std::vector<TimerCall> calls;
  Event ran_due, ran_later;
  {
    ImportPatch patch("user32.dll", "SetTimer", reinterpret_cast<void*>(&RecordingSetTimer));
    ASSERT_TRUE(patch.ok());
    g_real_set_timer = reinterpret_cast<SetTimerFn>(patch.original());
    g_timer_calls = &calls;
    ui_.proxy()->PostDelayedTask([&] { ran_due.Signal(); }, TimeDelta::FromMilliseconds(-5));
    ASSERT_TRUE(ran_due.Wait());
    ui_.proxy()->PostDelayedTask([&] { ran_later.Signal(); }, TimeDelta::FromMilliseconds(300));
    ASSERT_TRUE(ran_later.Wait());
    ASSERT_TRUE(RunOn(ui_.proxy(), [] { g_timer_calls = nullptr; }));
  }
  // A timer that fires a moment early re-arms itself, so there may be more calls.
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[0].window, pump_window);
  EXPECT_EQ(calls[0].id, pump_timer);
  EXPECT_EQ(calls[0].period, 10u);  // a past time still gets the shortest timer, not 0
  EXPECT_EQ(calls[1].id, pump_timer);
  EXPECT_GE(calls[1].period, 250u);
  EXPECT_LE(calls[1].period, 300u);
}

// Seconds of CPU a thread has used so far, as 100 ns units.
ULONGLONG ThreadCpu(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  if (!::GetThreadTimes(thread, &created, &exited, &kernel, &user)) return ~0ULL;
  auto to64 = [](FILETIME t) { return (ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
  return to64(kernel) + to64(user);
}

TEST(IdleTest, IdleWorkersUseNoCpu) {
  TestThread worker("idle worker");
  TestThread ui("idle ui");
  ASSERT_TRUE(worker.Start());
  ASSERT_TRUE(ui.StartWithLoop(LoopType::Ui));

  // The measurement itself works: a busy thread shows CPU time.
  const ULONGLONG busy_before = ThreadCpu(worker.thread_handle());
  ASSERT_TRUE(RunOn(worker.proxy(), [] {
    const DWORD start = ::GetTickCount();
    volatile unsigned sink = 0;
    while (::GetTickCount() - start < 300) sink = sink + 1;
  }));
  const ULONGLONG busy_after = ThreadCpu(worker.thread_handle());
  ASSERT_NE(busy_after, ~0ULL);
  ASSERT_GT(busy_after - busy_before, 0u);

  ::Sleep(100);
  const ULONGLONG worker_before = ThreadCpu(worker.thread_handle());
  const ULONGLONG ui_before = ThreadCpu(ui.thread_handle());
  ::Sleep(2000);
  const ULONGLONG worker_used = ThreadCpu(worker.thread_handle()) - worker_before;
  const ULONGLONG ui_used = ThreadCpu(ui.thread_handle()) - ui_before;
  std::printf("idle CPU over 2 s: default worker %llu ms, ui %llu ms\n", worker_used / 10000,
              ui_used / 10000);
  EXPECT_EQ(worker_used / 10000, 0u);
  EXPECT_EQ(ui_used / 10000, 0u);
}

TEST(IoPumpTest, RunsTasksAndDeliversCompletions) {
  TestThread io("io thread");
  ASSERT_TRUE(io.StartWithLoop(LoopType::Io));
  EXPECT_EQ(io.message_loop()->type(), LoopType::Io);

  std::vector<int> order;
  Event done;
  auto proxy = io.proxy();
  proxy->PostDelayedTask(
      [&] {
        order.push_back(2);
        done.Signal();
      },
      TimeDelta::FromMilliseconds(30));
  proxy->PostTask([&] { order.push_back(1); });
  ASSERT_TRUE(done.Wait());
  EXPECT_EQ(order, (std::vector<int>{1, 2}));

  // A completion packet for a registered handler reaches it on the loop's thread.
  struct Handler : nbase::WinIOMessagePump::IOHandler {
    void OnIOCompleted(nbase::WinIOMessagePump::IOContext* context, DWORD bytes,
                       DWORD error) override {
      got_context = context;
      got_bytes = bytes;
      got_error = error;
      on_thread = ::GetCurrentThreadId();
      completed.Signal();
    }
    nbase::WinIOMessagePump::IOContext* got_context = nullptr;
    DWORD got_bytes = 0, got_error = 1, on_thread = 0;
    Event completed;
  } handler;
  nbase::WinIOMessagePump::IOContext context;
  context.handler = &handler;
  HANDLE port = nullptr;
  ASSERT_TRUE(RunOn(proxy, [&] {
    port = static_cast<nbase::IOMessageLoop*>(MessageLoop::Current())->io_pump()->completion_port();
  }));
  ASSERT_TRUE(::PostQueuedCompletionStatus(port, 77, reinterpret_cast<ULONG_PTR>(&handler),
                                           &context.overlapped));
  ASSERT_TRUE(handler.completed.Wait());
  EXPECT_EQ(handler.got_context, &context);
  EXPECT_EQ(handler.got_bytes, 77u);
  EXPECT_EQ(handler.got_error, 0u);
  EXPECT_EQ(handler.on_thread, io.thread_id());
}

}  // namespace

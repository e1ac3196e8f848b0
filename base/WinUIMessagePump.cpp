#include "base/WinUIMessagePump.h"

#include "base/PumpDelay.h"

namespace nbase {

WinUIMessagePump::WinUIMessagePump() {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &WinUIMessagePump::WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = kWindowClassName;
  // Fails harmlessly when another UI pump of the process registered it already.
  ::RegisterClassExW(&wc);
  message_window_ = ::CreateWindowExW(0, kWindowClassName, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE,
                                      nullptr, instance, nullptr);
  if (message_window_)
    ::SetWindowLongPtrW(message_window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

WinUIMessagePump::~WinUIMessagePump() {
  if (message_window_) ::DestroyWindow(message_window_);
  ::UnregisterClassW(kWindowClassName, ::GetModuleHandleW(nullptr));
}

void WinUIMessagePump::WakeUp() {
  // At most one wake-up message in the queue at any time.
  if (::InterlockedExchange(&have_work_, 1) != 0) return;
  ::PostMessageW(message_window_, kWakeUpMessage, reinterpret_cast<WPARAM>(this), 0);
}

void WinUIMessagePump::SetWakeUpTime(TickTime time) {
  next_wake_up_ = time;
  // A due or nearly due time still gets the shortest timer, never a zero one.
  const int64_t delay = CurrentDelay();
  const UINT period = delay < static_cast<int64_t>(kMinTimerMilliseconds)
                          ? kMinTimerMilliseconds
                          : static_cast<UINT>(ClampWaitMilliseconds(delay));
  ::SetTimer(message_window_, timer_id(), period, nullptr);
  timer_armed_ = true;
}

void WinUIMessagePump::KillWakeUpTimer() {
  ::KillTimer(message_window_, timer_id());
  timer_armed_ = false;
}

void WinUIMessagePump::RunLoopBody() {
  // Whether the last wait ended for input that the rounds since have not used.
  bool woke_for_input = false;
  for (;;) {
    bool more = ProcessNextWindowsMessage();
    if (state_->should_quit) break;
    more |= state_->delegate->RunImmediateWork();
    if (state_->should_quit) break;
    more |= state_->delegate->RunDueDelayedWork(next_wake_up_);
    // The timer only matters inside modal loops; with nothing delayed it goes.
    if (more && next_wake_up_.IsNull() && timer_armed_) KillWakeUpTimer();
    if (state_->should_quit) break;
    if (more) {
      woke_for_input = false;
      continue;
    }

    more = state_->delegate->RunIdleWork();
    if (state_->should_quit) break;
    if (more) continue;

    if (woke_for_input) WaitForUnclaimedInput();
    woke_for_input = WaitForWork();
    if (!woke_for_input) continue;
    // Most wake-ups are for a task: run it before looking at the queue, where
    // its wake-up message is still waiting. Messages and tasks then alternate
    // as usual from the next round on.
    if (state_->delegate->RunImmediateWork()) woke_for_input = false;
    if (state_->should_quit) break;
  }
}

bool WinUIMessagePump::WaitForWork() {
  return ::MsgWaitForMultipleObjectsEx(0, nullptr, CurrentWaitTimeout(), QS_ALLINPUT,
                                       MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0;
}

void WinUIMessagePump::WaitForUnclaimedInput() {
  // Input was reported but a whole round found nothing to take: if it is a
  // mouse message that went to another thread's window, waiting again would
  // return at once, so wait for new input instead of spinning.
  const DWORD queue_status = ::GetQueueStatus(QS_MOUSE);
  MSG msg;
  if ((HIWORD(queue_status) & QS_MOUSE) &&
      !::PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE)) {
    ::WaitMessage();
  }
}

bool WinUIMessagePump::ProcessNextWindowsMessage() {
  // Peeking also delivers pending sent messages. A round that only did that
  // is not counted as work: whatever those messages left behind (posted
  // messages, tasks and their wake-ups) ends the next wait at once, so no
  // queue-status call is spent on every round to find out.
  MSG msg;
  if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return ProcessMessage(msg);
  return false;
}

bool WinUIMessagePump::ProcessMessage(const MSG& msg) {
  if (msg.message == WM_QUIT) {
    // Ends this run; posted again so that an enclosing run ends too.
    if (state_) state_->should_quit = true;
    ::PostQuitMessage(static_cast<int>(msg.wParam));
    return false;
  }
  if (msg.message == kWakeUpMessage && msg.hwnd == message_window_)
    return ProcessPumpReplacementMessage();
  if (::CallMsgFilterW(const_cast<MSG*>(&msg), kMessageFilterCode)) return true;

  BeforeMessage(msg);
  ::TranslateMessage(&msg);
  ::DispatchMessageW(&msg);
  AfterMessage(msg);
  return true;
}

bool WinUIMessagePump::ProcessPumpReplacementMessage() {
  // The wake-up message took the place of a real one; handle one of those so a
  // stream of wake-ups cannot starve window messages.
  MSG msg;
  const bool have_message = ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE;
  ::InterlockedExchange(&have_work_, 0);
  if (!have_message) return false;
  WakeUp();
  return ProcessMessage(msg);
}

void WinUIMessagePump::HandleWorkMessage() {
  if (!state_) {
    ::InterlockedExchange(&have_work_, 0);
    return;
  }
  // Here inside a modal loop that our own loop body does not see.
  ProcessPumpReplacementMessage();
  if (state_ && state_->delegate->RunImmediateWork()) WakeUp();
}

void WinUIMessagePump::HandleTimerMessage() {
  KillWakeUpTimer();
  if (!state_) return;
  state_->delegate->RunDueDelayedWork(next_wake_up_);
  if (!next_wake_up_.IsNull()) SetWakeUpTime(next_wake_up_);
}

void WinUIMessagePump::BeforeMessage(const MSG& msg) {
  observers_.Notify([&msg](UIObserver* o) { o->BeforeMessage(msg); });
}

void WinUIMessagePump::AfterMessage(const MSG& msg) {
  observers_.Notify([&msg](UIObserver* o) { o->AfterMessage(msg); });
}

LRESULT CALLBACK WinUIMessagePump::WindowProc(HWND window, UINT message, WPARAM wparam,
                                              LPARAM lparam) {
  auto* const pump =
      reinterpret_cast<WinUIMessagePump*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (pump) {
    if (message == kWakeUpMessage) {
      pump->HandleWorkMessage();
    } else if (message == WM_TIMER && wparam == pump->timer_id()) {
      pump->HandleTimerMessage();
    }
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace nbase

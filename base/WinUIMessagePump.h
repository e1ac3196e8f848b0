// The UI thread's pump: serves the thread's Windows message queue and runs
// tasks between messages, woken by a private message to a hidden message-only
// window. Delayed tasks also fire through a window timer, so both keep running
// inside native modal loops (menus, dialogs, window moves).
#pragma once

#include <windows.h>

#include "base/ObserverList.h"
#include "base/WinMessagePump.h"

namespace nbase {

class WinUIMessagePump : public WinMessagePump {
 public:
  class UIObserver {
   public:
    virtual ~UIObserver() = default;
    virtual void BeforeMessage(const MSG& msg) = 0;
    virtual void AfterMessage(const MSG& msg) = 0;
  };

  static constexpr UINT kWakeUpMessage = WM_USER + 1;
  static constexpr int kMessageFilterCode = 0x5001;
  static constexpr UINT kMinTimerMilliseconds = 10;
  static constexpr const wchar_t* kWindowClassName = L"VelmoraMessagePumpWindow";

  WinUIMessagePump();
  ~WinUIMessagePump() override;

  void WakeUp() override;
  void SetWakeUpTime(TickTime time) override;

  void AddObserver(UIObserver* observer) { observers_.AddObserver(observer); }
  void RemoveObserver(UIObserver* observer) { observers_.RemoveObserver(observer); }

  HWND message_window() const { return message_window_; }
  UINT_PTR timer_id() const { return reinterpret_cast<UINT_PTR>(this); }

 protected:
  void RunLoopBody() override;
  virtual void BeforeMessage(const MSG& msg);
  virtual void AfterMessage(const MSG& msg);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  // Each returns whether it did work.
  bool ProcessNextWindowsMessage();
  bool ProcessMessage(const MSG& msg);
  bool ProcessPumpReplacementMessage();
  void HandleWorkMessage();
  void HandleTimerMessage();
  // True when the wait reported input in the queue.
  bool WaitForWork();
  // After a wake-up for input that no round could take (mouse input meant
  // for another thread's window): waits for new input instead of spinning.
  void WaitForUnclaimedInput();
  void KillWakeUpTimer();

  HWND message_window_ = nullptr;
  // Every queue call is a round trip to the window server (under Wine, to
  // the wineserver), so the pump avoids those it can know are needless:
  // killing a timer that is not armed, for one.
  bool timer_armed_ = false;
  ObserverList<UIObserver> observers_;
};

}  // namespace nbase

// The toolkit's timers (window close fades, control animations): one per process, UI thread
// only. A periodic multimedia timer wakes a message-only window; every callback runs on the
// UI thread.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "base/WeakCallback.h"

namespace ui {

class AnimationTimers {
 public:
  // Created on first use; call on the UI thread.
  static AnimationTimers& Instance();

  // Runs callback every intervalMs milliseconds, runCount times (-1: until the owner is gone).
  // Nothing runs once owner has expired. False when the timer window cannot be made.
  bool AddTimer(const std::weak_ptr<nbase::WeakFlag>& owner, const std::function<void()>& callback,
                int intervalMs, int runCount);

  // Whether a multimedia timer is running (for tests: it stops when no timers remain).
  bool IsTicking() const { return mmTimer_ != 0; }
  size_t GetTimerCount() const { return timers_.size(); }

  // The message the multimedia timer posts to the timer window.
  static constexpr UINT kTickMessage = 0x2B0F;
  // Period while timers are close to due.
  static constexpr UINT kFastPeriodMs = 16;

 private:
  struct Timer {
    std::weak_ptr<nbase::WeakFlag> owner;
    std::function<void()> callback;
    LONGLONG interval = 0;  // performance-counter ticks
    int remaining = -1;
    LONGLONG due = 0;
  };

  AnimationTimers();
  ~AnimationTimers() = default;
  AnimationTimers(const AnimationTimers&) = delete;
  AnimationTimers& operator=(const AnimationTimers&) = delete;

  bool EnsureWindow();
  void Insert(Timer timer);
  void StartMultimediaTimer(UINT periodMs);
  void KillMultimediaTimer();
  void OnTick();
  LONGLONG Now() const;

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static void CALLBACK MultimediaTimerProc(UINT id, UINT message, DWORD_PTR user, DWORD_PTR r1,
                                           DWORD_PTR r2);

  LONGLONG frequency_ = 1;
  HWND window_ = nullptr;
  UINT mmTimer_ = 0;
  bool fastMode_ = false;
  std::vector<Timer> timers_;  // ordered by due time
};

}  // namespace ui

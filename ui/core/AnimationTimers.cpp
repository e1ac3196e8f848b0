#include "ui/core/AnimationTimers.h"

#include <mmsystem.h>

#include <algorithm>

namespace ui {

namespace {

constexpr wchar_t kTimerWindowClass[] = L"UI_ANIMATION_TIMERMANAGER_H_";

}  // namespace

AnimationTimers& AnimationTimers::Instance() {
  // Lives until the process ends: timers may be pending while windows are torn down.
  static AnimationTimers* instance = new AnimationTimers();
  return *instance;
}

AnimationTimers::AnimationTimers() {
  LARGE_INTEGER frequency;
  if (::QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0) {
    frequency_ = frequency.QuadPart;
  }
  EnsureWindow();
}

bool AnimationTimers::EnsureWindow() {
  if (window_) return true;
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &AnimationTimers::WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kTimerWindowClass;
  ::RegisterClassExW(&windowClass);  // fails harmlessly when already registered
  window_ = ::CreateWindowExW(0, kTimerWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              instance, nullptr);
  return window_ != nullptr;
}

LONGLONG AnimationTimers::Now() const {
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return now.QuadPart;
}

bool AnimationTimers::AddTimer(const std::weak_ptr<nbase::WeakFlag>& owner,
                               const std::function<void()>& callback, int intervalMs,
                               int runCount) {
  if (!callback || runCount == 0 || !EnsureWindow()) return false;
  Timer timer;
  timer.owner = owner;
  timer.callback = callback;
  timer.interval = frequency_ * (intervalMs > 0 ? intervalMs : 0) / 1000;
  timer.remaining = runCount;
  timer.due = Now() + timer.interval;
  Insert(std::move(timer));
  if (!mmTimer_ || !fastMode_) StartMultimediaTimer(kFastPeriodMs);
  return true;
}

void AnimationTimers::Insert(Timer timer) {
  auto position =
      std::upper_bound(timers_.begin(), timers_.end(), timer.due,
                       [](LONGLONG due, const Timer& other) { return due < other.due; });
  timers_.insert(position, std::move(timer));
}

void AnimationTimers::StartMultimediaTimer(UINT periodMs) {
  KillMultimediaTimer();
  mmTimer_ = ::timeSetEvent(periodMs, 1, &AnimationTimers::MultimediaTimerProc,
                            reinterpret_cast<DWORD_PTR>(window_), TIME_PERIODIC);
  fastMode_ = mmTimer_ != 0 && periodMs == kFastPeriodMs;
}

void AnimationTimers::KillMultimediaTimer() {
  if (mmTimer_) ::timeKillEvent(mmTimer_);
  mmTimer_ = 0;
  fastMode_ = false;
}

void CALLBACK AnimationTimers::MultimediaTimerProc(UINT, UINT, DWORD_PTR user, DWORD_PTR,
                                                   DWORD_PTR) {
  // A system thread: hand over to the UI thread and do nothing else.
  ::PostMessageW(reinterpret_cast<HWND>(user), kTickMessage, 0, 0);
}

LRESULT CALLBACK AnimationTimers::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == kTickMessage) {
    Instance().OnTick();
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

void AnimationTimers::OnTick() {
  while (!timers_.empty()) {
    const LONGLONG now = Now();
    Timer& first = timers_.front();
    if (first.due > now) {
      const LONGLONG waitMs = (first.due - now) * 1000 / frequency_;
      if (waitMs >= 1000) {
        StartMultimediaTimer(static_cast<UINT>(waitMs + 2));
      } else if (!fastMode_) {
        StartMultimediaTimer(kFastPeriodMs);
      }
      return;
    }
    Timer timer = std::move(first);
    timers_.erase(timers_.begin());
    if (timer.owner.expired()) continue;
    // The callback may add timers; it runs on a copy so the list can change under it.
    const std::function<void()> callback = timer.callback;
    bool again = timer.remaining < 0;
    if (timer.remaining > 0) again = --timer.remaining > 0;
    if (again) {
      timer.due = Now() + timer.interval;
      Insert(std::move(timer));
    }
    callback();
  }
  KillMultimediaTimer();
}

}  // namespace ui

#include "engine/StallWatch.h"

#include <wininet.h>

#include <initializer_list>

#include "engine/CBSCallbackImpl.h"

namespace {

constexpr wchar_t kWindowClass[] = L"PageWrightDownloadStallWatch";
constexpr UINT kCheckMessage = WM_APP + 1;
constexpr DWORD kCheckIntervalMs = 1000;
// Beyond one check interval: a tick may come late on a busy machine.
constexpr DWORD kPlatformMarginMs = 4000;

HINSTANCE ThisModule() { return ::GetModuleHandleW(nullptr); }

void RegisterWindowClassOnce(WNDPROC windowProc) {
  WNDCLASSEXW windowClass = {};
  if (::GetClassInfoExW(ThisModule(), kWindowClass, &windowClass)) return;
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = ThisModule();
  windowClass.lpszClassName = kWindowClass;
  ::RegisterClassExW(&windowClass);
}

}  // namespace

StallWatch::StallWatch(CBSCallbackImpl* callback, DWORD limitMs)
    : callback_(callback), limitMs_(limitMs) {
  RegisterWindowClassOnce(&WindowProc);
  window_ = ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              ThisModule(), nullptr);
  if (window_ == nullptr) return;
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  if (!::CreateTimerQueueTimer(&ticker_, nullptr, &OnTick, window_, kCheckIntervalMs,
                               kCheckIntervalMs, WT_EXECUTEDEFAULT)) {
    ticker_ = nullptr;
  }
}

StallWatch::~StallWatch() {
  // Waits for a tick in progress, so none posts to the window once it is gone.
  if (ticker_ != nullptr) ::DeleteTimerQueueTimer(nullptr, ticker_, INVALID_HANDLE_VALUE);
  if (window_ != nullptr) ::DestroyWindow(window_);
}

VOID CALLBACK StallWatch::OnTick(PVOID window, BOOLEAN) {
  ::SendNotifyMessageW(static_cast<HWND>(window), kCheckMessage, 0, 0);
}

LRESULT CALLBACK StallWatch::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kCheckMessage) {
    const auto* watch = reinterpret_cast<StallWatch*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (watch != nullptr) watch->callback_->AbortIfStalled(::GetTickCount(), watch->limitMs_);
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

DWORD StallWatch::PlatformWaitFor(DWORD limitMs) {
  return limitMs + kCheckIntervalMs + kPlatformMarginMs;
}

bool StallWatch::LimitPlatformWaits(DWORD limitMs) {
  DWORD timeout = PlatformWaitFor(limitMs);
  bool all = true;
  // No handle: the defaults of the process, which the connections urlmon opens take.
  for (const DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                             INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    all = ::InternetSetOptionW(nullptr, option, &timeout, sizeof(timeout)) && all;
  }
  return all;
}

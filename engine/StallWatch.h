// Ends a package transfer that has delivered nothing new for a while.
// URLDownloadToFileW blocks the download thread, and a server that accepts the
// connection and then falls silent is bounded by no limit of the platform's.
// The check runs on the download thread itself, so the abort goes through the
// binding the callback was handed, in its own apartment: a timer of the
// thread pool sends a notify message once a second to a message-only window
// of the download thread. Sent messages are delivered by every message wait,
// including the one inside the download call; posted messages and window
// timers are not served by every such wait.
#pragma once

#include <windows.h>

class CBSCallbackImpl;

class StallWatch {
 public:
  // Checks |callback| once a second for as long as the watch lives.
  StallWatch(CBSCallbackImpl* callback, DWORD limitMs);
  ~StallWatch();
  StallWatch(const StallWatch&) = delete;
  StallWatch& operator=(const StallWatch&) = delete;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static VOID CALLBACK OnTick(PVOID window, BOOLEAN);

  CBSCallbackImpl* const callback_;
  const DWORD limitMs_;
  HWND window_ = nullptr;    // message-only, on the download thread
  HANDLE ticker_ = nullptr;  // thread-pool timer that posts to window_
};

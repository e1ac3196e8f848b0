// Ends a package transfer that has delivered nothing new for a while.
// URLDownloadToFileW blocks the download thread, and a server that accepts the
// connection and then falls silent is bounded by no limit of the platform's.
// The check runs on the download thread itself, so the abort goes through the
// binding the callback was handed, in its own apartment: a timer of the
// thread pool sends a notify message once a second to a message-only window
// of the download thread. That reaches the window only while the download
// call's wait delivers sent messages, which urlmon does not promise on every
// Windows (posted messages and window timers fare worse). So a second guard
// does not depend on it: WinINet's own connect and receive time-outs for the
// process, a little longer than the watch's limit.
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

  // Sets WinINet's process-wide connect, send and receive time-outs to
  // |limitMs| plus the watch's check interval and a margin, so that where the
  // watch works it ends a silent attempt first. False when WinINet refused one.
  static bool LimitPlatformWaits(DWORD limitMs);
  // The time-out LimitPlatformWaits sets for |limitMs|.
  static DWORD PlatformWaitFor(DWORD limitMs);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static VOID CALLBACK OnTick(PVOID window, BOOLEAN);

  CBSCallbackImpl* const callback_;
  const DWORD limitMs_;
  HWND window_ = nullptr;    // message-only, on the download thread
  HANDLE ticker_ = nullptr;  // thread-pool timer that posts to window_
};

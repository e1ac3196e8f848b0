// Running window tests on the gtest thread as the program's UI thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/shell/WindowImplBase.h"

namespace uitest {

// Runs body on this thread registered as the UI thread, with a UI message loop, after the
// toolkit has been started once for the process (skin read from the source tree).
void RunAsUiThread(const std::function<void()>& body);

// Inside RunAsUiThread: runs the loop until condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);
void PumpFor(DWORD ms);

// The DPI the test run asked for (PW_TEST_DPI, 96 when unset).
int RequestedDpi();

// A window over one of the skin's layouts that records how it was closed.
class TestWindow : public ui::WindowImplBase {
 public:
  TestWindow(std::wstring folder, std::wstring file, int* closeResult = nullptr)
      : folder_(std::move(folder)), file_(std::move(file)), closeResult_(closeResult) {}

  std::wstring WindowClassName() const override { return L"UiTestWindow"; }
  std::wstring SkinFolder() const override { return folder_; }
  std::wstring SkinFile() const override { return file_; }
  LRESULT OnCloseRequest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
    if (closeResult_) *closeResult_ = static_cast<int>(wParam);
    return WindowImplBase::OnCloseRequest(message, wParam, lParam, handled);
  }

  // Creates the native window like the installer does; null on failure (object deleted).
  static TestWindow* Open(const std::wstring& folder, const std::wstring& file,
                          int* closeResult = nullptr, HWND owner = nullptr);

 private:
  std::wstring folder_;
  std::wstring file_;
  int* closeResult_;
};

// Mouse input as the system delivers it, in client coordinates.
void MouseMove(HWND hwnd, POINT point);
void Click(HWND hwnd, POINT point);
void Press(HWND hwnd, POINT point);
void Release(HWND hwnd, POINT point);
POINT CenterOf(const RECT& rect);

}  // namespace uitest

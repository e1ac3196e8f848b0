#include "UiTestSupport.h"

#include <cstdlib>

#include "base/FrameworkThread.h"
#include "base/MessageLoop.h"
#include "base/ThreadIds.h"
#include "base/ThreadRegistry.h"
#include "base/TimeDelta.h"
#include "ui/core/UiGlobal.h"
#include "ui/shell/Startup.h"
#include "app/SkinLoader.h"

namespace uitest {

namespace {

class UiThread : public nbase::FrameworkThread {
 public:
  explicit UiThread(const std::function<void()>& body)
      : FrameworkThread("MainThread", nbase::LoopType::Ui), body_(body) {}

  void Init() override {
    nbase::ThreadRegistry::RegisterCurrentThread(nbase::kUiThreadId);
    static bool started = false;
    if (!started) {
      started = true;
      const int dpi = RequestedDpi();
      ui::StartupOptions options;
      options.resourceRoot = L"resources\\";
      options.themeFolder = SkinLoader::ThemeFolderForDpi(dpi);
      options.themeDensity = SkinLoader::ThemeDensityForDpi(dpi);
      options.languageFolder = L"lang\\zh_CN";
      options.uiThreadId = nbase::kUiThreadId;
      ui::Startup(options);
    }
    body_();
    // Let the windows the test left behind finish, then end the loop.
    nbase::MessageLoop::Current()->PostTask([] { nbase::MessageLoop::Current()->Quit(); });
  }
  void Cleanup() override { nbase::ThreadRegistry::UnregisterCurrentThread(); }

 private:
  std::function<void()> body_;
};

}  // namespace

int RequestedDpi() {
  const char* value = std::getenv("PW_TEST_DPI");
  const int dpi = value ? std::atoi(value) : 0;
  return dpi > 0 ? dpi : 96;
}

void RunAsUiThread(const std::function<void()>& body) {
  UiThread thread(body);
  thread.Run();
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  nbase::MessageLoop* loop = nbase::MessageLoop::Current();
  if (!loop) return false;
  const DWORD start = ::GetTickCount();
  bool met = condition();
  if (met) return true;
  std::function<void()> check;
  check = [&] {
    met = condition();
    if (met || ::GetTickCount() - start > timeoutMs) {
      loop->Quit();
      return;
    }
    loop->PostDelayedTask(check, nbase::TimeDelta::FromMilliseconds(5));
  };
  loop->PostTask(check);
  loop->Run();
  return met;
}

void PumpFor(DWORD ms) {
  const DWORD start = ::GetTickCount();
  PumpUntil([&] { return ::GetTickCount() - start >= ms; }, ms + 1000);
}

TestWindow* TestWindow::Open(const std::wstring& folder, const std::wstring& file, int* closeResult,
                             HWND owner) {
  auto* window = new TestWindow(folder, file, closeResult);
  const RECT empty = {0, 0, 0, 0};
  if (!window->CreateNativeWindow(owner, L"UiTestWindow",
                                  WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX, 0, true,
                                  empty)) {
    delete window;
    return nullptr;
  }
  return window;
}

void MouseMove(HWND hwnd, POINT point) {
  ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
}

void Press(HWND hwnd, POINT point) {
  MouseMove(hwnd, point);
  ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
}

void Release(HWND hwnd, POINT point) {
  MouseMove(hwnd, point);
  ::SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

void Click(HWND hwnd, POINT point) {
  Press(hwnd, point);
  Release(hwnd, point);
}

POINT CenterOf(const RECT& rect) {
  return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

}  // namespace uitest

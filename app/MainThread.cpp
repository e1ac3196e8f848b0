#include "app/MainThread.h"

#include "app/SkinLoader.h"
#include "base/DisplayDpi.h"

#include "base/StringUtil.h"
#include "base/ThreadIds.h"
#include "base/ThreadRegistry.h"
#include "engine/ProductInfo.h"
#include "installer/CMainWindow.h"
#include "report/Report.h"
#include "ui/core/UiGlobal.h"

namespace {

constexpr wchar_t kInstanceMutexName[] = L"zorvikPackageInstalled";

}  // namespace

MainThread::MainThread() : nbase::FrameworkThread("MainThread", nbase::LoopType::Ui) {}

MainThread::~MainThread() {
  // The HTTP worker goes first, then the general worker; each is stopped and
  // joined by its destructor.
  http_thread_.reset();
  misc_thread_.reset();
}

bool MainThread::AcquireSingleInstance() {
  const std::wstring text = nbase::FormatWideString(
      L"%s 安装程序已经在运行，请关闭后点击\"重试\"继续，或点击\"取消\"退出安装",
      product::kProductDisplayName);
  const std::wstring caption = nbase::FormatWideString(L"%s安装提示", product::kProductDisplayName);
  for (;;) {
    HANDLE mutex = ::CreateMutexW(nullptr, TRUE, kInstanceMutexName);
    const DWORD error = ::GetLastError();
    if (mutex != nullptr && error != ERROR_ALREADY_EXISTS) {
      instance_mutex_ = mutex;
      return true;
    }
    if (mutex != nullptr) ::CloseHandle(mutex);
    if (::MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_RETRYCANCEL) != IDRETRY)
      return false;
  }
}

void MainThread::StartWorkers() {
  // Each Start() returns once the worker has registered, so posts to its
  // identifier cannot be lost from here on. A failed start is tolerated:
  // posts to that identifier are then dropped.
  misc_thread_ = std::make_unique<MiscThread>("Global Misc Thread", nbase::kMiscThreadId);
  misc_thread_->Start();
  http_thread_ = std::make_unique<MiscThread>("http Thread", nbase::kHttpThreadId);
  http_thread_->Start();
}

void MainThread::Init() {
  if (!AcquireSingleInstance()) {
    // The loop quits on its first pass; Cleanup() finds nothing to undo.
    ::PostQuitMessage(0);
    return;
  }
  nbase::ThreadRegistry::RegisterCurrentThread(nbase::kUiThreadId);
  StartWorkers();

  // Start reporting.
  InitReporting();

  // Load the skin and start the UI toolkit.
  const int system_dpi = nbase::GetSystemDpi();
  SkinLoader::Load(system_dpi);

  // Report the start-up.
  ReportAppStart(system_dpi, ui::UiGlobal::GetDpiState().GetScale());

  // Create and show the main window.
  // The window lives until the process ends; it deletes itself after its
  // last message.
  auto* window = new CMainWindow();
  window->CreateNativeWindow(nullptr, CMainWindow::kClassName,
                             WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX, 0, true,
                             RECT{0, 0, 0, 0});
  window->SetTitle(nbase::FormatWideString(L"%s 安装程序", product::kProductDisplayName));
  window->CenterOnOwner();
  window->ShowWithFocus();
  // In front of other windows without staying topmost.
  ::SetWindowPos(window->GetHWND(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ::SetWindowPos(window->GetHWND(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void MainThread::Cleanup() {
  // Each step finds nothing to do when Init() gave up before the skin.
  SkinLoader::Unload();
  nbase::ThreadRegistry::UnregisterCurrentThread();
}

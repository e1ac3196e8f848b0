// Preview of the installer's skinned screens: opens basic.xml on one of its five pages, or the
// message box over it, at the system DPI, so that every screen can be looked at before the
// installer flow exists.
//   preview.exe [--layout basic|msgbox] [--page welcompage|installpage|installedpage|
//               installfaildpage|ExitStartpage] [--dpi 96|120|144] [--progress 42.5] [--expand]
//               [--text "..."] [--yes "..."] [--no "..."] [--log file] [--root folder]
// Keys: 1-5 switch pages, M opens the message box, E toggles the customize bar, Esc quits.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

#include "PreviewLog.h"
#include "PreviewWindow.h"
#include "base/FrameworkThread.h"
#include "base/ThreadIds.h"
#include "base/ThreadRegistry.h"
#include "base/StringUtil.h"
#include "ui/core/EventArgs.h"
#include "ui/skin/SkinArchive.h"
#include "ui/core/UiGlobal.h"
#include "ui/shell/Startup.h"
#include "app/SkinLoader.h"

namespace {

constexpr int kThemeResourceId = 136;

PreviewOptions ParseOptions() {
  PreviewOptions options;
  int count = 0;
  LPWSTR* args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!args) return options;
  for (int i = 1; i < count; ++i) {
    const std::wstring name = args[i];
    const std::wstring value = i + 1 < count ? args[i + 1] : L"";
    if (name == L"--expand") {
      options.expand = true;
      continue;
    }
    if (name == L"--layout")
      options.layout = value;
    else if (name == L"--page")
      options.page = value;
    else if (name == L"--dpi")
      options.dpi = _wtoi(value.c_str());
    else if (name == L"--progress")
      options.progress = _wtof(value.c_str());
    else if (name == L"--text")
      options.text = value;
    else if (name == L"--yes")
      options.yes = value;
    else if (name == L"--no")
      options.no = value;
    else if (name == L"--log")
      options.logPath = value;
    else if (name == L"--root")
      options.root = value;
    else
      continue;
    ++i;
  }
  ::LocalFree(args);
  return options;
}

int SystemDpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen) ::ReleaseDC(nullptr, screen);
  return dpi;
}

// Opens the skin the program carries; false when it has none (files are read instead).
bool OpenThemeResource() {
  HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(kThemeResourceId), L"THEME");
  if (!found) return false;
  HGLOBAL loaded = ::LoadResource(nullptr, found);
  const DWORD size = ::SizeofResource(nullptr, found);
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  return data && ui::OpenSkinArchive(data, size, std::string()) != nullptr;
}

class PreviewThread : public nbase::FrameworkThread {
 public:
  explicit PreviewThread(const PreviewOptions& options)
      : FrameworkThread("MainThread", nbase::LoopType::Ui),
        options_(options),
        log_(options.logPath) {}
  ~PreviewThread() override = default;

  void Init() override {
    nbase::ThreadRegistry::RegisterCurrentThread(nbase::kUiThreadId);
    // Mark the process DPI-aware before the system DPI is read.
    ui::UiGlobal::GetDpiState().InitAwareness();
    const int dpi = options_.dpi > 0 ? options_.dpi : SystemDpi();
    const bool archive = OpenThemeResource();
    if (!archive && !options_.root.empty()) ::SetCurrentDirectoryW(options_.root.c_str());
    ui::StartupOptions startup;
    startup.resourceRoot = L"resources\\";
    startup.themeFolder = SkinLoader::ThemeFolderForDpi(dpi);
    startup.themeDensity = SkinLoader::ThemeDensityForDpi(dpi);
    startup.languageFolder = L"lang\\zh_CN";
    startup.uiThreadId = nbase::kUiThreadId;
    ui::Startup(startup);
    log_.Write(nbase::FormatWideString(L"started archive=%d scale=%d theme=%s", archive ? 1 : 0,
                                       ui::UiGlobal::GetDpiState().GetScale(),
                                       startup.themeFolder.c_str()));

    auto* window = new PreviewWindow(options_, &log_);
    const RECT empty = {0, 0, 0, 0};
    if (!window->CreateNativeWindow(nullptr, L"MainWindow",
                                    WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX, 0,
                                    true, empty)) {
      delete window;
      log_.Write(L"create failed");
      ::PostQuitMessage(1);
      return;
    }
    window->AttachWindowEvent(ui::kEventWindowClose, [](const ui::EventArgs&) {
      ::PostQuitMessage(0);
      return true;
    });
    window->SetTitle(L"PageWright preview " + options_.layout + L" " + options_.page);
    window->CenterOnOwner();
    window->ShowWithFocus(true, true);
    if (options_.expand) window->ToggleCustomizeBar();
    window->LogWhenPainted();
  }

  void Cleanup() override {
    ui::CloseSkinArchive();
    ui::UiGlobal::DeleteRenderFactory();
    ui::UiGlobal::DeleteAllFonts();
    ui::ShutdownGdiplus();
    nbase::ThreadRegistry::UnregisterCurrentThread();
  }

 private:
  PreviewOptions options_;
  PreviewLog log_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  PreviewThread thread(ParseOptions());
  thread.Run();
  return 0;
}

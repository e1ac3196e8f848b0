#include "ui/shell/Startup.h"

#include <commctrl.h>
#include <gdiplus.h>

#include <memory>

#include "ui/draw/gdiplus/RenderFactory_GdiPlus.h"
#include "ui/skin/MarkupDocument.h"
#include "ui/skin/SkinFile.h"

namespace ui {

namespace {

ULONG_PTR& GdiplusToken() {
  static ULONG_PTR token = 0;
  return token;
}

}  // namespace

void Startup(const StartupOptions& options) {
  UiGlobal::SetRenderFactory(std::make_unique<RenderFactory_GdiPlus>());
  UiGlobal::SetResourcePath(options.resourceRoot + options.themeFolder);
  UiGlobal::SetThemeDensity(options.themeDensity);
  UiGlobal::SetUiThreadId(options.uiThreadId);
  UiGlobal::SetCreateControlHook(options.createControlHook);
  DpiState& dpi = UiGlobal::GetDpiState();
  dpi.InitAwareness();
  dpi.InitScaleFromMonitor();
  LoadGlobalResources();
  LoadLanguage(options.resourceRoot + options.languageFolder + L"\\gdstrings.ini");
  if (GdiplusToken() == 0) {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) GdiplusToken() = token;
  }
  ::InitCommonControls();
}

void LoadGlobalResources() {
  std::string bytes;
  MarkupDocument document;
  if (!ReadSkinFile(UiGlobal::ResolveSkinPath(L"global.xml"), &bytes) ||
      !document.LoadFromUtf8(bytes.data(), bytes.size())) {
    return;
  }
  const MarkupNode root = document.GetRoot();
  if (!root.IsValid() || std::wstring(root.GetName()) != L"Global") return;
  LoadGlobalDefinitions(root, UiGlobal::GetDpiState(), &UiGlobal::GetDefaultColours(),
                        &UiGlobal::GetFontTable(), &UiGlobal::GetColourTable(),
                        &UiGlobal::GetClassTable());
}

void LoadLanguage(const std::wstring& path) {
  LanguageTable& language = UiGlobal::GetLanguageTable();
  language.Clear();
  std::string bytes;
  if (ReadSkinFile(path, &bytes)) language.LoadFromMemory(bytes.data(), bytes.size());
}

void ShutdownGdiplus() {
  ULONG_PTR& token = GdiplusToken();
  if (token == 0) return;
  Gdiplus::GdiplusShutdown(token);
  token = 0;
}

}  // namespace ui

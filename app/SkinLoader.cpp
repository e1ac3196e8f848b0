#include "app/SkinLoader.h"

#include <windows.h>

#include "base/ThreadIds.h"
#include "ui/core/UiGlobal.h"
#include "ui/shell/Startup.h"
#include "ui/skin/SkinArchive.h"

namespace {

constexpr int kThemeResourceId = 136;
constexpr wchar_t kThemeResourceType[] = L"THEME";

}  // namespace

std::wstring SkinLoader::ThemeFolderForDpi(int dpi) {
  if (dpi <= 100) return L"themes\\default";
  if (dpi <= 131) return L"themes\\default-hdpi";
  return L"themes\\default-xhdpi";
}

int SkinLoader::ThemeDensityForDpi(int dpi) {
  if (dpi <= 100) return 100;
  if (dpi <= 131) return 125;
  return 150;
}

void SkinLoader::Load(int system_dpi) {
  // The resource's bytes are used in place for the life of the process.
  HMODULE module = ::GetModuleHandleW(nullptr);
  if (HRSRC resource =
          ::FindResourceW(module, MAKEINTRESOURCEW(kThemeResourceId), kThemeResourceType)) {
    HGLOBAL data = ::LoadResource(module, resource);
    const DWORD size = ::SizeofResource(module, resource);
    if (ui::GetSkinArchive() != nullptr) ui::CloseSkinArchive();
    if (data != nullptr && size != 0)
      ui::OpenSkinArchive(::LockResource(data), size, std::string());
  }

  ui::StartupOptions options;
  options.resourceRoot = L"resources\\";
  options.themeFolder = ThemeFolderForDpi(system_dpi);
  options.themeDensity = ThemeDensityForDpi(system_dpi);
  options.languageFolder = L"lang\\zh_CN";
  options.uiThreadId = nbase::kUiThreadId;
  ui::Startup(options);
}

void SkinLoader::Unload() {
  if (ui::GetSkinArchive() != nullptr) ui::CloseSkinArchive();
  ui::UiGlobal::DeleteRenderFactory();
  ui::UiGlobal::DeleteAllFonts();
  ui::ShutdownGdiplus();
}

#include "app/SkinLoader.h"

#include <windows.h>

#include <climits>

#include "base/ThreadIds.h"
#include "ui/core/UiGlobal.h"
#include "ui/shell/Startup.h"
#include "ui/skin/SkinArchive.h"

namespace {

constexpr int kThemeResourceId = 136;
constexpr wchar_t kThemeResourceType[] = L"THEME";

// The theme trees, by the highest system DPI each is chosen for, with the scale
// their bitmaps are drawn for.
struct ThemeTree {
  int maxDpi;
  const wchar_t* folder;
  int density;
};
constexpr ThemeTree kThemeTrees[] = {
    {100, L"themes\\default", 100},
    {131, L"themes\\default-hdpi", 125},
    {INT_MAX, L"themes\\default-xhdpi", 150},
};

const ThemeTree& TreeForDpi(int dpi) {
  for (const ThemeTree& tree : kThemeTrees) {
    if (dpi <= tree.maxDpi) return tree;
  }
  return kThemeTrees[2];
}

}  // namespace

std::wstring SkinLoader::ThemeFolderForDpi(int dpi) { return TreeForDpi(dpi).folder; }

int SkinLoader::ThemeDensityForDpi(int dpi) { return TreeForDpi(dpi).density; }

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

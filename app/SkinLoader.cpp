#include "app/SkinLoader.h"

#include <windows.h>

#include "ui/SkinArchive.h"
#include "ui/UiGlobal.h"

namespace {

constexpr int kThemeResourceId = 136;
constexpr wchar_t kThemeResourceType[] = L"THEME";

}  // namespace

std::wstring SkinLoader::ThemeFolderForDpi(int dpi) {
  if (dpi <= 100) return L"themes\\default";
  if (dpi <= 131) return L"themes\\default-hdpi";
  return L"themes\\default-xhdpi";
}

void SkinLoader::Load(int system_dpi) {
  const std::wstring theme_folder = ThemeFolderForDpi(system_dpi);

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

  ui::UiGlobal::Startup(L"resources\\", ui::CreateControlCallback(), theme_folder, L"lang\\zh_CN");
}

void SkinLoader::Unload() {
  if (ui::GetSkinArchive() != nullptr) ui::CloseSkinArchive();
  ui::UiGlobal::DeleteRenderFactory();
  ui::UiGlobal::DeleteAllFonts();
  ui::UiGlobal::ShutdownGdiplus();
}

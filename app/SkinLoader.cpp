#include "app/SkinLoader.h"

#include <windows.h>

#include "ui/SkinArchive.h"
#include "ui/UiGlobal.h"
#include "ui/WindowsVersion.h"

namespace {

constexpr int kThemeResourceId = 136;
constexpr wchar_t kThemeResourceType[] = L"THEME";

using GetDpiForSystemFn = UINT(WINAPI*)();

// Looked up once per process: older systems lack it.
GetDpiForSystemFn LookUpGetDpiForSystem() {
  static const GetDpiForSystemFn function = [] {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<GetDpiForSystemFn>(
                        reinterpret_cast<void*>(::GetProcAddress(user32, "GetDpiForSystem")))
                  : nullptr;
  }();
  return function;
}

}  // namespace

std::wstring SkinLoader::ThemeFolderForDpi(int dpi) {
  if (dpi <= 100) return L"themes\\default";
  if (dpi <= 131) return L"themes\\default-hdpi";
  return L"themes\\default-xhdpi";
}

int SkinLoader::SystemDpi() {
  if (ui::IsWindowsVersionOrLater(6, 2)) {
    const GetDpiForSystemFn get_dpi = LookUpGetDpiForSystem();
    return get_dpi ? static_cast<int>(get_dpi()) : 96;
  }
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
  ::ReleaseDC(nullptr, screen);
  return dpi;
}

void SkinLoader::Load() {
  const std::wstring theme_folder = ThemeFolderForDpi(SystemDpi());

  // The resource's bytes are used in place for the life of the process.
  HMODULE module = ::GetModuleHandleW(nullptr);
  if (HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(kThemeResourceId),
                                       kThemeResourceType)) {
    HGLOBAL data = ::LoadResource(module, resource);
    const DWORD size = ::SizeofResource(module, resource);
    if (ui::GetSkinArchive() != nullptr) ui::CloseSkinArchive();
    if (data != nullptr && size != 0) ui::OpenSkinArchive(::LockResource(data), size, std::string());
  }

  ui::UiGlobal::Startup(L"resources\\", ui::CreateControlCallback(), theme_folder, L"lang\\zh_CN");
}

void SkinLoader::Unload() {
  if (ui::GetSkinArchive() != nullptr) ui::CloseSkinArchive();
  ui::UiGlobal::DeleteRenderFactory();
  ui::UiGlobal::DeleteAllFonts();
  ui::UiGlobal::ShutdownGdiplus();
}

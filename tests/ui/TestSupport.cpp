#include "TestSupport.h"
#include "ui/shell/Startup.h"

#include <windows.h>

namespace ui_test {

namespace {

std::wstring ToWindowsPath(const char* unixPath) {
  std::wstring path = L"Z:";
  for (const char* p = unixPath; *p; ++p) path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
  return path;
}

}  // namespace

void StartToolkitWithoutSkin() {
  static bool started = false;
  if (started) return;
  started = true;
  ui::StartupOptions options;
  options.resourceRoot = L"no-such-skin\\";
  options.themeFolder = L"themes\\default";
  options.languageFolder = L"lang\\zh_CN";
  ui::Startup(options);
  // Layout numbers in these tests are 96-DPI numbers whatever the prefix's DPI is; the
  // scaled case has its own test program.
  ui::UiGlobal::GetDpiState().SetScale(100);
}

std::wstring SourceDir() { return ToWindowsPath(PW_SOURCE_DIR); }
std::wstring BuildDir() { return ToWindowsPath(PW_BUILD_DIR); }

}  // namespace ui_test

// The theme tree chosen for the system DPI.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/SkinLoader.h"
#include "base/DisplayDpi.h"
#include "ui/misc/DpiState.h"

TEST(ThemeFolder, BoundariesBetweenTheThreeTrees) {
  EXPECT_EQ(SkinLoader::ThemeFolderForDpi(96), L"themes\\default");
  EXPECT_EQ(SkinLoader::ThemeFolderForDpi(100), L"themes\\default");
  EXPECT_EQ(SkinLoader::ThemeFolderForDpi(101), L"themes\\default-hdpi");
  EXPECT_EQ(SkinLoader::ThemeFolderForDpi(120), L"themes\\default-hdpi");
  EXPECT_EQ(SkinLoader::ThemeFolderForDpi(131), L"themes\\default-hdpi");
  EXPECT_EQ(SkinLoader::ThemeFolderForDpi(132), L"themes\\default-xhdpi");
  EXPECT_EQ(SkinLoader::ThemeFolderForDpi(144), L"themes\\default-xhdpi");
  EXPECT_EQ(SkinLoader::ThemeFolderForDpi(192), L"themes\\default-xhdpi");
}

// The harness sets LogPixels for this program; Wine reports it as the system DPI.
int PrefixDpi() {
  const char* dpi = std::getenv("PW_TEST_DPI");
  return dpi ? std::atoi(dpi) : 96;
}

TEST(ThemeFolder, WithoutTheDpiLookupsTheTreeAndScaleAreWindows10s) {
  // The program's manifest makes it DPI-aware from the start; this test makes itself so.
  ASSERT_TRUE(nbase::MakeProcessDpiAware());
  const int dpi = PrefixDpi();
  ASSERT_NE(nbase::SystemDpiLookups().getDpiForSystem, nullptr);
  ASSERT_NE(nbase::SystemDpiLookups().getDpiForMonitorInternal, nullptr);
  const nbase::DpiLookups none;  // Windows 8.0: neither; 8.1: no GetDpiForSystem either
  nbase::DpiLookups monitorOnly;
  monitorOnly.getDpiForMonitorInternal = nbase::SystemDpiLookups().getDpiForMonitorInternal;

  const std::wstring tree = SkinLoader::ThemeFolderForDpi(dpi);
  EXPECT_EQ(tree, dpi == 144 ? L"themes\\default-xhdpi" : L"themes\\default-hdpi");
  const nbase::DpiLookups* const kSystems[] = {&nbase::SystemDpiLookups(), &monitorOnly, &none};
  for (const nbase::DpiLookups* lookups : kSystems) {
    EXPECT_EQ(nbase::GetSystemDpi(*lookups), dpi);
    EXPECT_EQ(SkinLoader::ThemeFolderForDpi(nbase::GetSystemDpi(*lookups)), tree);
    ui::DpiState scale;
    scale.SetAware(true);
    scale.SetScaleFromDpi(nbase::GetMonitorDpi(*lookups));
    EXPECT_EQ(scale.GetScale(), dpi * 100 / 96);
  }
}

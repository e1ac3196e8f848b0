// The theme tree chosen for the system DPI.
#include <gtest/gtest.h>

#include "app/SkinLoader.h"
#include "base/DisplayDpi.h"

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

TEST(ThemeFolder, SystemDpiFollowsThePrefixSetting) {
  // The harness sets LogPixels for this program; Wine reports it as the system DPI.
  EXPECT_EQ(nbase::GetSystemDpi(), 120);
}

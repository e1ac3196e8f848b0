// global.xml of the real skin (from files and from the packed archive), lookups
// of unknown fonts and colours, the image cache and undecodable images.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "TestSupport.h"
#include "base/StringUtil.h"
#include "ui/widgets/Button.h"
#include "ui/core/Control.h"
#include "ui/widgets/Label.h"
#include "ui/skin/SkinArchive.h"
#include "ui/core/UiGlobal.h"
#include "ui/shell/Startup.h"
#include "ui/skin/SkinFile.h"

namespace {

using ui::UiGlobal;

void ClearSharedTables() {
  UiGlobal::GetFontTable().Clear();
  UiGlobal::GetColourTable().Clear();
  UiGlobal::GetClassTable().Clear();
}

bool FileExists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Checks what the installer's global.xml defines.
void ExpectInstallerGlobals() {
  EXPECT_EQ(29u, UiGlobal::GetFontTable().GetCount());
  const ui::FontRecord* font0 = UiGlobal::GetFontTable().GetRecord(0);
  ASSERT_NE(nullptr, font0);
  EXPECT_EQ(L"system", font0->face);
  EXPECT_EQ(10, font0->size);
  const ui::FontRecord* font15 = UiGlobal::GetFontTable().GetRecord(15);
  ASSERT_NE(nullptr, font15);
  EXPECT_EQ(L"arial", font15->face);
  EXPECT_TRUE(font15->bold);
  const ui::FontRecord* font26 = UiGlobal::GetFontTable().GetRecord(26);
  ASSERT_NE(nullptr, font26);
  EXPECT_EQ(14, font26->size);
  EXPECT_TRUE(font26->underline);
  EXPECT_EQ(32, UiGlobal::GetFontTable().GetRecord(28)->size);

  EXPECT_EQ(0xff006dd9u, UiGlobal::GetColour(L"blue"));
  EXPECT_EQ(0x80000000u, UiGlobal::GetColour(L"transbkblack"));
  EXPECT_EQ(0xfff4f8f9u, UiGlobal::GetColour(L"bk_color_mainwnd"));
  EXPECT_EQ(0xffa1aebcu, UiGlobal::GetColour(L"textdefaultdisablecolor"));
  EXPECT_EQ(0xffffffffu, UiGlobal::GetColour(L"color_palette9"));

  for (const wchar_t* name :
       {L"font_title", L"caption", L"btn_global_blue_80x30", L"btn_global_white_80x30",
        L"btn_wnd_close", L"btn_wnd_white_min", L"btn_wnd_white_close", L"progress_blue",
        L"splitline_hor_level1", L"simple", L"prompt", L"checkbox_agree", L"font_normal"}) {
    EXPECT_FALSE(UiGlobal::GetClassAttributes(name).empty()) << "class " << name;
  }

  // The message box's yes button: class first, then its own text colour wins.
  ui::Button yes;
  yes.ApplyAttribute(L"class", L"btn_global_white_80x30");
  EXPECT_EQ(L"dark_gray", yes.GetStateTextColour(ui::kControlStateNormal));
  yes.ApplyAttribute(L"normaltextcolor", L"darkcolor");
  EXPECT_EQ(L"darkcolor", yes.GetStateTextColour(ui::kControlStateNormal));
  EXPECT_EQ(7, yes.GetFont());
}

TEST(GlobalXml, LoadsFromTheSkinFolder) {
  ui_test::StartToolkitWithoutSkin();
  const std::wstring root = ui_test::SourceDir() + L"\\resources\\";
  ASSERT_TRUE(FileExists(root + L"themes\\default\\global.xml"));
  ClearSharedTables();
  UiGlobal::SetResourcePath(root + L"themes\\default");
  ui::LoadGlobalResources();
  ExpectInstallerGlobals();

  // Images named relative to a window folder go through "..": the check box
  // image of the checkbox_agree class resolves against basic\.
  const std::wstring path = UiGlobal::ResolveImagePath(L"basic\\", L"../public/checkbox/check.png");
  auto image = UiGlobal::GetImage(path);
  ASSERT_TRUE(image);
  EXPECT_EQ(16, image->GetWidth());
  EXPECT_EQ(image, UiGlobal::GetImage(path));  // shared through the cache

  ui::LoadLanguage(root + L"lang\\zh_CN\\gdstrings.ini");
  EXPECT_EQ(L"确定", UiGlobal::GetStringById(L"STRING_OK"));
  ClearSharedTables();
}

TEST(GlobalXml, LoadsFromThePackedArchive) {
  ui_test::StartToolkitWithoutSkin();
  std::ifstream in(nbase::WideToUtf8(ui_test::BuildDir() + L"\\generated\\skin.zip"),
                   std::ios::binary);
  ASSERT_TRUE(in) << "generated/skin.zip not built";
  const std::string zip((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_NE(nullptr, ui::OpenSkinArchive(zip.data(), zip.size(), std::string()));
  ClearSharedTables();
  UiGlobal::SetResourcePath(L"resources\\themes\\default");
  ui::LoadGlobalResources();
  ExpectInstallerGlobals();

  // Mixed case and ".." inside the archive.
  auto image = UiGlobal::GetImage(
      UiGlobal::ResolveImagePath(L"msgbox\\", L"../public/CheckBox/check_no.png"));
  EXPECT_TRUE(image);
  // With an archive open there is no fall-back to files.
  EXPECT_FALSE(UiGlobal::GetImage(ui_test::SourceDir() + L"\\no-such.png"));

  std::string bytes;
  EXPECT_TRUE(ui::ReadSkinFile(L"resources\\themes\\default\\basic\\basic.xml", &bytes));
  EXPECT_NE(std::string::npos, bytes.find("btn_startinstall"));
  ui::CloseSkinArchive();
  ClearSharedTables();
}

TEST(Lookups, UnknownFontsAndColours) {
  ui_test::StartToolkitWithoutSkin();
  EXPECT_EQ(nullptr, UiGlobal::GetFont(-1));
  EXPECT_EQ(nullptr, UiGlobal::GetFont(100000));
  EXPECT_FALSE(UiGlobal::GetColourTable().Contains(L"no_such_colour"));
  EXPECT_EQ(0u, UiGlobal::GetColour(L"no_such_colour"));
  EXPECT_TRUE(UiGlobal::GetColourTable().Contains(L"no_such_colour"));  // entered as 0
  UiGlobal::GetColourTable().Add(L"test_green", L"#ff00bb96");
  EXPECT_EQ(0xff00bb96u,
            UiGlobal::GetColour(L"  test_green"));  // leading blanks skipped

  // A label with a font number that does not exist still measures and draws
  // with the default font.
  ui::Label label;
  label.SetFont(99);
  label.SetText(L"text");
  EXPECT_NE(nullptr, label.GetFontHandle());
  EXPECT_GT(label.EstimateSize(ui::MakeSize(500, 500)).cx, 0);
}

TEST(Images, UndecodableAndMissingImagesGiveNothing) {
  ui_test::StartToolkitWithoutSkin();
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring bad = std::wstring(temp) + L"pw_controls_bad.png";
  {
    std::ofstream out(nbase::WideToUtf8(bad), std::ios::binary);
    out << "\x89PNG\r\n\x1a\n this is not really a png";
  }
  EXPECT_FALSE(UiGlobal::GetImage(bad));
  EXPECT_FALSE(UiGlobal::GetImage(std::wstring(temp) + L"pw_controls_missing.png"));
  EXPECT_FALSE(UiGlobal::GetImage(L""));

  // A control that shows it sizes itself as if it had no image.
  ui::Control control;
  control.SetFixedWidth(ui::kLengthAuto, false, false);
  control.SetFixedHeight(ui::kLengthAuto, false, false);
  control.SetBkImage(bad);
  const SIZE size = control.EstimateSize(ui::MakeSize(100, 100));
  EXPECT_EQ(0, size.cx);
  EXPECT_EQ(0, size.cy);
  ::DeleteFileW(bad.c_str());
}

TEST(Fonts, HeightIsTheScaledSizeInPixels) {
  ui::FontTable fonts;
  ui::DpiState plain;
  plain.SetAware(true);
  ui::DpiState scaled;
  scaled.SetAware(true);
  scaled.SetScaleFromDpi(120);
  EXPECT_EQ(125, scaled.GetScale());
  ui::DpiState unaware;
  unaware.SetScaleFromDpi(144);

  ASSERT_EQ(0, fonts.Add(L"system", 14, false, false, false, plain));
  ASSERT_EQ(1, fonts.Add(L"system", 14, true, true, false, scaled));
  ASSERT_EQ(2, fonts.Add(L"arial", 14, false, false, true, unaware));
  LOGFONTW lf = {};
  ASSERT_NE(0, ::GetObjectW(fonts.Get(0), sizeof(lf), &lf));
  EXPECT_EQ(-14, lf.lfHeight);
  EXPECT_STREQ(ui::FontTable::SystemFace().c_str(), lf.lfFaceName);
  EXPECT_EQ(DEFAULT_CHARSET, lf.lfCharSet);
  ASSERT_NE(0, ::GetObjectW(fonts.Get(1), sizeof(lf), &lf));
  EXPECT_EQ(-18, lf.lfHeight);  // MulDiv(14, 125, 100)
  EXPECT_GE(lf.lfWeight, FW_BOLD);
  EXPECT_TRUE(lf.lfUnderline);
  ASSERT_NE(0, ::GetObjectW(fonts.Get(2), sizeof(lf), &lf));
  EXPECT_EQ(-14, lf.lfHeight);  // not aware: never scaled
  EXPECT_TRUE(lf.lfItalic);
  EXPECT_EQ(L"微软雅黑", ui::FontTable::SystemFace());
}

TEST(ResourcePath, TrailingSeparator) {
  const std::wstring saved = UiGlobal::GetResourcePath();
  UiGlobal::SetResourcePath(L"x/");
  EXPECT_EQ(L"x/", UiGlobal::GetResourcePath());
  UiGlobal::SetResourcePath(L"x");
  EXPECT_EQ(L"x\\", UiGlobal::GetResourcePath());
  UiGlobal::SetResourcePath(L"");
  EXPECT_EQ(L"", UiGlobal::GetResourcePath());
  UiGlobal::SetResourcePath(saved);
  EXPECT_EQ(L"C:\\a.png", UiGlobal::ResolveImagePath(L"basic\\", L"C:\\a.png"));
}

}  // namespace

// Start-up at 120 DPI: the process becomes DPI-aware, the scale is 125 % and
// lengths and fonts are scaled.
#include <gtest/gtest.h>

#include <memory>

#include "TestSupport.h"
#include "ui/widgets/Button.h"
#include "ui/skin/ImageSpec.h"
#include "ui/builder/LayoutBuilder.h"
#include "ui/core/UiGlobal.h"
#include "ui/shell/Startup.h"

namespace {

using ui::UiGlobal;

class Dpi120 : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::wstring root = ui_test::SourceDir() + L"\\resources\\";
    ui::StartupOptions options;
    options.resourceRoot = root;
    options.themeFolder = L"themes\\default-hdpi";
    options.themeDensity = 125;
    options.languageFolder = L"lang\\zh_CN";
    ui::Startup(options);
  }
};

TEST_F(Dpi120, StartupMakesTheProcessAwareAtScale125) {
  EXPECT_TRUE(UiGlobal::GetDpiState().IsAware());
  EXPECT_EQ(125, UiGlobal::GetDpiState().GetScale());
  EXPECT_EQ(125, UiGlobal::GetDpiState().ScaleValue(100));
  EXPECT_EQ(18, UiGlobal::GetDpiState().ScaleValue(14));
  EXPECT_EQ(-1, UiGlobal::GetDpiState().ScaleValue(-1));
}

TEST_F(Dpi120, FontSize14Is18PixelsHigh) {
  const int index =
      UiGlobal::GetFontTable().Add(L"system", 14, false, false, false, UiGlobal::GetDpiState());
  ASSERT_GE(index, 0);
  LOGFONTW lf = {};
  ASSERT_NE(0, ::GetObjectW(UiGlobal::GetFont(index), sizeof(lf), &lf));
  EXPECT_EQ(-18, lf.lfHeight);
  // The skin's own font 2 (system 14) when global.xml is there.
  if (UiGlobal::GetFontTable().GetCount() > 2 && index != 2) {
    ASSERT_NE(0, ::GetObjectW(UiGlobal::GetFont(2), sizeof(lf), &lf));
    EXPECT_EQ(-18, lf.lfHeight);
  }
}

TEST_F(Dpi120, LayoutLengthsAreScaled) {
  ui::LayoutBuilder builder;
  std::unique_ptr<ui::Control> root(
      builder.Create(L"<Window><VBox padding=\"6,6,6,6\"><Button name=\"b\" width=\"240\" "
                     L"height=\"52\" "
                     L"margin=\"0,65,0,0\" normalimage=\"file='x.png' dest='0,0,10,10'\"/>"
                     L"<Control width=\"stretch\" height=\"auto\"/></VBox></Window>",
                     nullptr, nullptr));
  ASSERT_TRUE(root);
  auto* box = static_cast<ui::Box*>(root.get());
  EXPECT_EQ(8, box->GetPadding().left);  // MulDiv(6, 125, 100) = 7.5 -> 8
  ui::Control* button = box->GetItemAt(0);
  EXPECT_EQ(300, button->GetFixedWidth());
  EXPECT_EQ(65, button->GetFixedHeight());
  EXPECT_EQ(81, button->GetMargin().top);
  EXPECT_EQ(12,
            button->GetStateImageSlot(ui::kControlStateNormal).GetSpec().dest.right);  // truncated
  EXPECT_EQ(ui::kLengthAuto, box->GetItemAt(1)->GetFixedHeight());
}

}  // namespace

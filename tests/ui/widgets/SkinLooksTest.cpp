// How the skin comes out on screen: controls sized by bitmaps of the larger theme trees, text
// that must fit the width the layout gives it, Chinese text in a Latin font, and a centred
// label in a row.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "ui/widgets/Button.h"
#include "ui/layouts/HBox.h"
#include "ui/draw/IBitmap.h"
#include "ui/draw/IRenderContext.h"
#include "ui/draw/IRenderFactory.h"
#include "ui/widgets/Label.h"
#include "ui/core/UiGlobal.h"

namespace {

using ui::MakeRect;

class SkinLooksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui_test::StartToolkitWithoutSkin();
    ui::UiGlobal::GetColourTable().Add(L"looks_black", L"#ff000000");
  }

  static std::wstring ThemeImage(const std::wstring& tree, const std::wstring& name) {
    return ui_test::SourceDir() + L"\\resources\\themes\\" + tree + L"\\public\\button\\" + name;
  }

  static SIZE AutoSizeWithImage(const std::wstring& image) {
    ui::Button button;
    button.ApplyAttribute(L"normalimage", image);
    return button.EstimateSize(SIZE{1000, 1000});
  }

  // Leftmost and rightmost columns with ink (alpha) inside one context, or {-1, -1}.
  static std::pair<int, int> InkColumns(ui::IRenderContext* context) {
    ::GdiFlush();
    const auto* bits = static_cast<const DWORD*>(context->GetBitmap()->GetBits());
    int first = -1;
    int last = -1;
    for (int x = 0; x < context->GetWidth(); ++x) {
      for (int y = 0; y < context->GetHeight(); ++y) {
        if ((bits[y * context->GetWidth() + x] >> 24) > 0x40) {
          if (first < 0) first = x;
          last = x;
          break;
        }
      }
    }
    return {first, last};
  }

  static std::vector<DWORD> Pixels(ui::IRenderContext* context) {
    ::GdiFlush();
    const auto* bits = static_cast<const DWORD*>(context->GetBitmap()->GetBits());
    return std::vector<DWORD>(bits, bits + context->GetWidth() * context->GetHeight());
  }
};

// Every theme tree holds the same button bitmap at its own density: at 150 % the control a
// layout sizes to that bitmap is 120 x 45 whichever tree it came from (not 180 x 68 for the
// bitmap that is already drawn for 150 %), and likewise at 125 %.
TEST_F(SkinLooksTest, BitmapsOfEveryThemeTreeSizeTheirControlAlike) {
  const std::wstring name = L"btn_global_blue_80x30_normal.png";
  ASSERT_NE(INVALID_FILE_ATTRIBUTES,
            ::GetFileAttributesW(ThemeImage(L"default-xhdpi", name).c_str()));
  struct Density {
    int scale;
    const wchar_t* tree;
    LONG width;
    LONG height;
  };
  for (const Density& d :
       {Density{150, L"default-xhdpi", 120, 45}, Density{125, L"default-hdpi", 100, 38}}) {
    ui_test::ScopedDpi dpi(true, d.scale);
    // The program tells the toolkit which tree it took, and so what its bitmaps are drawn for.
    ui::UiGlobal::SetThemeDensity(100);
    const SIZE base = AutoSizeWithImage(ThemeImage(L"default", name));
    ui::UiGlobal::SetThemeDensity(d.scale);
    const SIZE own = AutoSizeWithImage(ThemeImage(d.tree, name));
    ui::UiGlobal::SetThemeDensity(100);
    EXPECT_EQ(d.width, base.cx) << d.scale;
    EXPECT_EQ(d.height, base.cy) << d.scale;
    EXPECT_EQ(base.cx, own.cx) << d.scale;
    EXPECT_EQ(base.cy, own.cy) << d.scale;
  }
  {
    // Without awareness nothing is scaled: an xhdpi bitmap counts as its 96-DPI size.
    ui_test::ScopedDpi dpi(false, 150);
    ui::UiGlobal::SetThemeDensity(150);
    const SIZE large = AutoSizeWithImage(ThemeImage(L"default-xhdpi", name));
    ui::UiGlobal::SetThemeDensity(100);
    EXPECT_EQ(80, large.cx);
    EXPECT_EQ(30, large.cy);
  }
}

// The survey's quit button is 60 wide at 96 DPI with four 14-pixel Chinese characters: the text
// is 56 wide and must be drawn whole, not cut to three characters or ellipsised.
TEST_F(SkinLooksTest, FourCharactersFitASixtyPixelButton) {
  const int font = ui::UiGlobal::GetFontTable().Add(L"微软雅黑", 14, false, false, false,
                                                    ui::UiGlobal::GetDpiState());
  ASSERT_GE(font, 0);
  const std::wstring text = L"直接退出";
  ui::IRenderContext* measure = ui::UiGlobal::GetMeasureContext();
  ASSERT_NE(measure, nullptr);
  const SIZE needed = measure->MeasureText(text, ui::UiGlobal::GetFont(font),
                                           DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  EXPECT_LE(needed.cx, 60);
  EXPECT_GE(needed.cx, 50);

  auto context = ui::UiGlobal::GetRenderFactory()->CreateRenderContext();
  ASSERT_TRUE(context->Resize(60, 28));
  context->Clear();
  ui::Button button;
  button.SetText(text);
  button.SetFont(font);
  button.SetStateTextColour(ui::kControlStateNormal, L"looks_black");
  button.SetFixedWidth(60, false, false);
  button.SetFixedHeight(28, false, false);
  button.SetPos(MakeRect(0, 0, 60, 28));
  button.Paint(context.get(), MakeRect(0, 0, 60, 28));
  const auto ink = InkColumns(context.get());
  ASSERT_GE(ink.first, 0);
  // Three characters (or two and an ellipsis) would cover about 42 pixels.
  EXPECT_GT(ink.second - ink.first + 1, 50) << "ink from " << ink.first << " to " << ink.second;
}

// A Latin font has no Chinese glyphs; such text is drawn with a Chinese face of the same size
// (pixel for pixel what that face draws), while text the Latin font can draw keeps it.
TEST_F(SkinLooksTest, ChineseTextInALatinFontBorrowsAChineseFace) {
  auto& fonts = ui::UiGlobal::GetFontTable();
  const ui::DpiState& dpi = ui::UiGlobal::GetDpiState();
  const int arial = fonts.Add(L"arial", 14, false, false, false, dpi);
  const int chinese = fonts.Add(L"微软雅黑", 14, false, false, false, dpi);
  ASSERT_GE(arial, 0);
  ASSERT_GE(chinese, 0);
  auto draw = [](int font, const std::wstring& text) {
    auto context = ui::UiGlobal::GetRenderFactory()->CreateRenderContext();
    EXPECT_TRUE(context->Resize(240, 24));
    context->Clear();
    context->DrawText(MakeRect(0, 0, 240, 24), text, 0xff000000, ui::UiGlobal::GetFont(font),
                      DT_SINGLELINE | DT_LEFT | DT_TOP);
    return context;
  };
  const std::wstring reason = L"失败原因：无法连接(下载)";
  const auto inArial = draw(arial, reason);
  const auto inChinese = draw(chinese, reason);
  EXPECT_GT(InkColumns(inArial.get()).second, 100);
  EXPECT_TRUE(Pixels(inArial.get()) == Pixels(inChinese.get()));
  ui::IRenderContext* measure = ui::UiGlobal::GetMeasureContext();
  EXPECT_EQ(measure->MeasureText(reason, ui::UiGlobal::GetFont(arial), DT_SINGLELINE).cx,
            measure->MeasureText(reason, ui::UiGlobal::GetFont(chinese), DT_SINGLELINE).cx);

  // Latin text stays in the Latin face.
  const std::wstring latin = L"Failed (download)";
  EXPECT_FALSE(Pixels(draw(arial, latin).get()) == Pixels(draw(chinese, latin).get()));
}

// A single label that asks to be centred in a row that does not fill up is centred; a row with
// a stretching spacer, or children that disagree, keeps its children packed at the start.
TEST_F(SkinLooksTest, RowCentresChildrenThatAllAskForIt) {
  ui::HBox row;
  auto* label = new ui::Control();
  label->SetFixedWidth(200, false, false);
  label->SetFixedHeight(20, false, false);
  label->SetHorAlignType(ui::kHorAlignCenter);
  label->SetMargin(MakeRect(0, 30, 0, 0), false);
  row.Add(label);
  row.SetPos(MakeRect(0, 0, 600, 60));
  EXPECT_EQ(200, label->GetPos().left);
  EXPECT_EQ(400, label->GetPos().right);

  label->SetHorAlignType(ui::kHorAlignRight);
  row.SetPos(MakeRect(0, 0, 600, 60));
  EXPECT_EQ(400, label->GetPos().left);

  auto* other = new ui::Control();
  other->SetFixedWidth(100, false, false);
  other->SetFixedHeight(20, false, false);
  row.Add(other);  // left-aligned: the two disagree
  row.SetPos(MakeRect(0, 0, 600, 60));
  EXPECT_EQ(0, label->GetPos().left);
  EXPECT_EQ(200, other->GetPos().left);

  other->SetHorAlignType(ui::kHorAlignRight);
  auto* spacer = new ui::Control();  // stretches: takes the free space itself
  row.AddAt(spacer, 0);
  row.SetPos(MakeRect(0, 0, 600, 60));
  EXPECT_EQ(300, label->GetPos().left);
  EXPECT_EQ(500, other->GetPos().left);
  EXPECT_EQ(300, ui::RectWidth(spacer->GetPos()));
}

}  // namespace

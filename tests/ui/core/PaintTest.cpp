// Painting through the real GDI+ render context: pixels of backgrounds,
// progress fills, text and images.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "TestSupport.h"
#include "base/StringUtil.h"
#include "ui/core/Box.h"
#include "ui/widgets/Button.h"
#include "ui/draw/IBitmap.h"
#include "ui/draw/IRenderContext.h"
#include "ui/draw/IRenderFactory.h"
#include "ui/widgets/Label.h"
#include "ui/widgets/Progress.h"
#include "ui/core/UiGlobal.h"

namespace {

using ui::MakeRect;

class PaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui_test::StartToolkitWithoutSkin();
    ui::UiGlobal::GetColourTable().Add(L"paint_blue", L"#ff006dd9");
    ui::UiGlobal::GetColourTable().Add(L"paint_white", L"#ffffffff");
    ui::UiGlobal::GetColourTable().Add(L"paint_black", L"#ff000000");
    ASSERT_NE(nullptr, ui::UiGlobal::GetRenderFactory());
    context_ = ui::UiGlobal::GetRenderFactory()->CreateRenderContext();
    ASSERT_TRUE(context_);
    ASSERT_TRUE(context_->Resize(600, 60));
    context_->SetLayered(true);
    context_->Clear();
  }

  // BGRA (premultiplied) of one pixel.
  DWORD Pixel(int x, int y) {
    const auto* bits = static_cast<const DWORD*>(context_->GetBitmap()->GetBits());
    return bits[y * context_->GetWidth() + x];
  }

  std::unique_ptr<ui::IRenderContext> context_;
};

TEST_F(PaintTest, ProgressFillsTheRevealedWidthOnly) {
  ui::Progress progress;
  progress.ApplyAttribute(L"progresscolor", L"paint_blue");
  progress.SetPos(MakeRect(20, 10, 580, 16));
  progress.SetValue(50);
  const RECT everything = MakeRect(0, 0, 600, 60);
  progress.Paint(context_.get(), everything);
  EXPECT_EQ(0xff006dd9u, Pixel(20, 12));
  EXPECT_EQ(0xff006dd9u, Pixel(299, 15));
  EXPECT_EQ(0u, Pixel(300, 12));  // the unfilled part stays transparent
  EXPECT_EQ(0u, Pixel(19, 12));
  EXPECT_EQ(0u, Pixel(100, 16));  // below the bar
}

TEST_F(PaintTest, BackgroundOnlyInsideThePaintArea) {
  ui::Box box;
  box.SetBkColor(L"paint_white");
  box.SetPos(MakeRect(0, 0, 600, 60));
  box.Paint(context_.get(), MakeRect(100, 0, 200, 60));
  EXPECT_EQ(0u, Pixel(50, 30));
  EXPECT_EQ(0u, Pixel(99, 30));
  EXPECT_EQ(0xffffffffu, Pixel(100, 30));
  EXPECT_EQ(0xffffffffu, Pixel(199, 30));
  EXPECT_EQ(0u, Pixel(200, 30));
  EXPECT_EQ(0u, Pixel(250, 30));

  // An unknown colour name draws nothing at all.
  context_->Clear();
  ui::Box unknown;
  unknown.SetBkColor(L"paint_no_such_colour");
  unknown.SetPos(MakeRect(0, 0, 600, 60));
  unknown.Paint(context_.get(), MakeRect(0, 0, 600, 60));
  EXPECT_EQ(0u, Pixel(300, 30));
}

// A window's layout root has rounded borders; painting any part of it must give exactly the
// pixels a full paint gives there, and nothing elsewhere.
TEST_F(PaintTest, RoundedBoxPaintsPartsExactlyAsTheWhole) {
  auto paintTree = [](ui::IRenderContext* context, const RECT& area) {
    ui::Box root;
    root.SetBkColor(L"paint_blue");
    root.SetBorderRound(SIZE{6, 6});
    auto* child = new ui::Box();
    child->SetBkColor(L"paint_white");
    child->SetFixedHeight(10, false, false);
    child->SetMargin(MakeRect(20, 20, 20, 0), false);
    child->SetVerAlignType(ui::kVerAlignTop);
    root.Add(child);
    root.SetPos(MakeRect(10, 5, 590, 55));
    root.Paint(context, area);
  };
  auto whole = ui::UiGlobal::GetRenderFactory()->CreateRenderContext();
  ASSERT_TRUE(whole->Resize(600, 60));
  whole->Clear();
  paintTree(whole.get(), MakeRect(0, 0, 600, 60));
  const auto* expected = static_cast<const DWORD*>(whole->GetBitmap()->GetBits());
  // The corners are rounded: the very corner pixel is (at least partly) transparent.
  EXPECT_LT(expected[5 * 600 + 10] >> 24, 0xffu);
  EXPECT_EQ(0xff006dd9u, expected[45 * 600 + 300]);
  EXPECT_EQ(0xffffffffu, expected[30 * 600 + 300]);

  const RECT areas[] = {
      MakeRect(30, 25, 570, 31),   // inside, like a progress update
      MakeRect(0, 0, 40, 60),      // over the left corners
      MakeRect(10, 5, 590, 6),     // along the top edge
      MakeRect(585, 40, 600, 60),  // bottom right corner
      MakeRect(200, 0, 260, 60),   // a band across the top and bottom edges
  };
  for (const RECT& area : areas) {
    context_->Clear();
    paintTree(context_.get(), area);
    int wrongInside = 0;
    int paintedOutside = 0;
    for (int y = 0; y < 60; ++y) {
      for (int x = 0; x < 600; ++x) {
        const POINT pt = {x, y};
        if (ui::PointInRect(area, pt)) {
          if (Pixel(x, y) != expected[y * 600 + x]) ++wrongInside;
        } else if (Pixel(x, y) != 0) {
          ++paintedOutside;
        }
      }
    }
    EXPECT_EQ(0, wrongInside) << "area " << area.left << "," << area.top << "," << area.right << ","
                              << area.bottom;
    EXPECT_EQ(0, paintedOutside) << "area " << area.left << "," << area.top << "," << area.right
                                 << "," << area.bottom;
  }
}

TEST_F(PaintTest, LabelTextIsDrawnInItsColourAndHiddenControlsNot) {
  ui::Box box;
  box.SetBkColor(L"paint_white");
  auto* label = new ui::Label();
  label->SetText(L"安装安装安装");
  label->SetStateTextColour(ui::kControlStateNormal, L"paint_black");
  label->SetFont(99);  // not a font number: the default font
  box.Add(label);
  box.SetPos(MakeRect(0, 0, 600, 60));
  box.Paint(context_.get(), MakeRect(0, 0, 600, 60));
  const RECT& pos = label->GetPos();
  ASSERT_GT(ui::RectWidth(pos), 10);
  int dark = 0;
  for (int y = pos.top; y < pos.bottom; ++y) {
    for (int x = pos.left; x < pos.right; ++x) {
      if ((Pixel(x, y) & 0xff) < 0x80) ++dark;
    }
  }
  EXPECT_GT(dark, 20);
  // Nothing dark outside the label.
  EXPECT_EQ(0xffffffffu, Pixel(pos.right + 20, 30));

  context_->Clear();
  label->SetVisible(false);
  box.Paint(context_.get(), MakeRect(0, 0, 600, 60));
  int darkHidden = 0;
  for (int x = pos.left; x < pos.right; ++x) {
    if ((Pixel(x, (pos.top + pos.bottom) / 2) & 0xff) < 0x80) ++darkHidden;
  }
  EXPECT_EQ(0, darkHidden);
}

TEST_F(PaintTest, DisabledButtonUsesItsDisabledColours) {
  ui::Button button;
  button.ApplyAttribute(L"normalcolor", L"paint_white");
  button.ApplyAttribute(L"disabledcolor", L"paint_blue");
  button.SetPos(MakeRect(0, 0, 80, 30));
  button.Paint(context_.get(), MakeRect(0, 0, 600, 60));
  EXPECT_EQ(0xffffffffu, Pixel(5, 5));
  button.SetEnabled(false);
  button.Paint(context_.get(), MakeRect(0, 0, 600, 60));
  EXPECT_EQ(0xff006dd9u, Pixel(5, 5));
}

TEST_F(PaintTest, UndecodableImagesAreNotDrawnAndDoNotCrash) {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring bad = std::wstring(temp) + L"pw_controls_paint_bad.png";
  {
    std::ofstream out(nbase::WideToUtf8(bad), std::ios::binary);
    out << "GIF89a garbage";
  }
  ui::Button button;
  button.SetBkImage(bad);
  button.ApplyAttribute(L"normalimage", L"file='" + bad + L"' corner='8,8,8,8'");
  button.ApplyAttribute(L"forenormalimage", L"no_such_file.png");
  button.SetPos(MakeRect(0, 0, 80, 30));
  button.Paint(context_.get(), MakeRect(0, 0, 600, 60));
  EXPECT_EQ(0u, Pixel(40, 15));
  ::DeleteFileW(bad.c_str());
}

TEST_F(PaintTest, ProgressImageRevealsItsLeftPartAtTheValue) {
  const std::wstring image =
      ui_test::SourceDir() +
      L"\\resources\\themes\\default\\public\\progress\\progress_blue_fg.png";
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(image.c_str()));
  auto info = ui::UiGlobal::GetImage(image);
  ASSERT_TRUE(info);
  ui::Progress progress;
  progress.ApplyAttribute(L"progressimage", image);
  progress.SetPos(MakeRect(20, 10, 580, 16));
  progress.SetValue(50);
  progress.Paint(context_.get(), MakeRect(0, 0, 600, 60));
  // Revealed (unscaled) from the left: pixels up to 280 come from the image
  // when it is that wide, nothing to the right of 300.
  const int revealed = std::min(280, info->GetWidth());
  EXPECT_NE(0u, Pixel(20 + revealed / 2, 12));
  EXPECT_EQ(0u, Pixel(301, 12));
  EXPECT_EQ(0u, Pixel(579, 12));
}

}  // namespace

// The GDI+ render layer on real DIB sections: exact pixels for fills, clips, the nine-grid,
// fades, text, GDI alpha repair and image decoding.
#include <gtest/gtest.h>
#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <vector>

#include "ui/draw/AutoClip.h"
#include "ui/draw/GdiBitmap.h"
#include "ui/draw/IRenderContext.h"
#include "ui/draw/gdiplus/RenderFactory_GdiPlus.h"

namespace {

class GdiPlusSession {
 public:
  GdiPlusSession() {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token_, &input, nullptr);
  }
  ~GdiPlusSession() { Gdiplus::GdiplusShutdown(token_); }

 private:
  ULONG_PTR token_ = 0;
};

// Premultiplied BGRA of one pixel as 0xAARRGGBB.
DWORD PixelAt(ui::IRenderContext& context, int x, int y) {
  ::GdiFlush();
  const auto* bits = static_cast<const DWORD*>(context.GetBitmap()->GetBits());
  return bits[y * context.GetWidth() + x];
}

BYTE AlphaOf(DWORD pixel) { return static_cast<BYTE>(pixel >> 24); }

// A bitmap of four opaque quadrant colours with a 2-pixel red frame: corners of the nine-grid
// are red, the middle is blue.
std::unique_ptr<ui::GdiBitmap> MakeGridBitmap() {
  auto bitmap = std::make_unique<ui::GdiBitmap>();
  std::vector<DWORD> pixels(8 * 8);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const bool frame = x < 2 || y < 2 || x >= 6 || y >= 6;
      pixels[y * 8 + x] = frame ? 0xFFFF0000 : 0xFF0000FF;
    }
  }
  bitmap->Init(8, 8, pixels.data());
  bitmap->SetHasAlpha(false);
  return bitmap;
}

class RenderTest : public ::testing::Test {
 protected:
  GdiPlusSession session_;
  ui::RenderFactory_GdiPlus factory_;
};

}  // namespace

TEST_F(RenderTest, FillsAreExactAndStayInsideClipAndOrigin) {
  auto context = factory_.CreateRenderContext();
  ASSERT_TRUE(context->Resize(40, 30));
  EXPECT_EQ(PixelAt(*context, 5, 5), 0u);  // starts transparent

  context->FillRect(RECT{0, 0, 10, 10}, 0xFF006DD9);
  EXPECT_EQ(PixelAt(*context, 0, 0), 0xFF006DD9u);
  EXPECT_EQ(PixelAt(*context, 9, 9), 0xFF006DD9u);
  EXPECT_EQ(PixelAt(*context, 10, 10), 0u);

  {
    ui::AutoClip clip(context.get(), RECT{20, 0, 25, 5});
    context->FillRect(RECT{15, 0, 40, 30}, 0xFFFFFFFF);
  }
  EXPECT_EQ(PixelAt(*context, 20, 0), 0xFFFFFFFFu);
  EXPECT_EQ(PixelAt(*context, 24, 4), 0xFFFFFFFFu);
  EXPECT_EQ(PixelAt(*context, 25, 4), 0u);
  EXPECT_EQ(PixelAt(*context, 19, 0), 0u);
  EXPECT_EQ(PixelAt(*context, 20, 5), 0u);

  // Half-transparent black over nothing keeps its alpha (premultiplied).
  context->FillRect(RECT{0, 20, 5, 25}, 0x80000000);
  EXPECT_NEAR(AlphaOf(PixelAt(*context, 2, 22)), 0x80, 1);

  // The window origin shifts everything drawn.
  context->SetWindowOrg(POINT{-30, -20});
  context->FillRect(RECT{0, 0, 2, 2}, 0xFF00FF00);
  context->SetWindowOrg(POINT{0, 0});
  EXPECT_EQ(PixelAt(*context, 30, 20), 0xFF00FF00u);
  EXPECT_EQ(PixelAt(*context, 0, 0), 0xFF006DD9u);

  context->ClearRect(RECT{0, 0, 5, 5});
  EXPECT_EQ(PixelAt(*context, 4, 4), 0u);
  EXPECT_EQ(PixelAt(*context, 5, 5), 0xFF006DD9u);
}

TEST_F(RenderTest, NineGridCopiesCornersAndStretchesTheMiddle) {
  auto context = factory_.CreateRenderContext();
  ASSERT_TRUE(context->Resize(60, 60));
  auto bitmap = MakeGridBitmap();
  const RECT dest = {10, 10, 50, 40};
  const RECT corner = {2, 2, 2, 2};
  const RECT scaledCorner = {4, 4, 4, 4};
  context->DrawImage(dest, *bitmap, dest, scaledCorner, RECT{0, 0, 0, 0}, corner);
  // Corners at their destination size (4 pixels), middle blue, nothing outside dest.
  EXPECT_EQ(PixelAt(*context, 10, 10), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(*context, 13, 13), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(*context, 14, 14), 0xFF0000FFu);
  EXPECT_EQ(PixelAt(*context, 30, 25), 0xFF0000FFu);
  EXPECT_EQ(PixelAt(*context, 45, 35), 0xFF0000FFu);
  EXPECT_EQ(PixelAt(*context, 46, 36), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(*context, 49, 39), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(*context, 9, 9), 0u);
  EXPECT_EQ(PixelAt(*context, 50, 40), 0u);

  // Only the paint rectangle is touched.
  auto second = factory_.CreateRenderContext();
  ASSERT_TRUE(second->Resize(60, 60));
  second->DrawImage(RECT{0, 0, 30, 60}, *bitmap, dest, scaledCorner, RECT{0, 0, 0, 0}, corner);
  EXPECT_EQ(PixelAt(*second, 29, 25), 0xFF0000FFu);
  EXPECT_EQ(PixelAt(*second, 30, 25), 0u);
}

TEST_F(RenderTest, FadeAndSourceRectangleApply) {
  auto context = factory_.CreateRenderContext();
  ASSERT_TRUE(context->Resize(20, 20));
  auto bitmap = MakeGridBitmap();
  const RECT none = {0, 0, 0, 0};
  // Fade 128 of an opaque bitmap gives half alpha.
  context->DrawImage(RECT{0, 0, 20, 20}, *bitmap, RECT{0, 0, 8, 8}, none, none, none, 128);
  EXPECT_NEAR(AlphaOf(PixelAt(*context, 4, 4)), 128, 2);
  // A source rectangle picks the blue middle only.
  context->DrawImage(RECT{0, 0, 20, 20}, *bitmap, RECT{10, 10, 20, 20}, none, RECT{2, 2, 6, 6},
                     none);
  EXPECT_EQ(PixelAt(*context, 10, 10), 0xFF0000FFu);
  EXPECT_EQ(PixelAt(*context, 19, 19), 0xFF0000FFu);
}

TEST_F(RenderTest, TextIsDrawnInsideItsRectangleAndMeasuresConsistently) {
  auto context = factory_.CreateRenderContext();
  ASSERT_TRUE(context->Resize(200, 60));
  HFONT font =
      ::CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"微软雅黑");
  const std::wstring text = L"立即安装 Install";
  const RECT rect = {10, 10, 190, 40};
  context->DrawText(rect, text, 0xFF333333, font, DT_SINGLELINE | DT_LEFT | DT_TOP);
  int inside = 0;
  int outside = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 200; ++x) {
      if (AlphaOf(PixelAt(*context, x, y)) == 0) continue;
      const bool in = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
      (in ? inside : outside)++;
    }
  }
  EXPECT_GT(inside, 50);
  EXPECT_EQ(outside, 0);

  const SIZE single = context->MeasureText(text, font, DT_SINGLELINE);
  EXPECT_GT(single.cx, 60);
  EXPECT_GE(single.cy, 16);
  const SIZE longer = context->MeasureText(text + text, font, DT_SINGLELINE);
  EXPECT_GT(longer.cx, single.cx);
  // Limited to half the width, multi-line text wraps and gets taller.
  const SIZE wrapped = context->MeasureText(text + text, font, 0, longer.cx / 2);
  EXPECT_LE(wrapped.cx, longer.cx / 2);
  EXPECT_GT(wrapped.cy, single.cy);
  ::DeleteObject(font);
}

TEST_F(RenderTest, GdiDrawingBecomesOpaqueAndLeavesTheRestAlone) {
  auto context = factory_.CreateRenderContext();
  ASSERT_TRUE(context->Resize(20, 20));
  context->FillRect(RECT{0, 0, 20, 10}, 0x80000000);
  context->BeginGdiDrawing(RECT{0, 0, 20, 20});
  RECT gdiRect = {0, 10, 5, 15};
  HBRUSH brush = ::CreateSolidBrush(RGB(255, 0, 0));
  ::FillRect(context->GetDC(), &gdiRect, brush);
  ::DeleteObject(brush);
  context->EndGdiDrawing();
  EXPECT_EQ(AlphaOf(PixelAt(*context, 2, 12)), 255);
  EXPECT_EQ(PixelAt(*context, 2, 12) & 0x00FFFFFF, 0x00FF0000u);
  EXPECT_NEAR(AlphaOf(PixelAt(*context, 2, 2)), 0x80, 1);  // kept
  EXPECT_EQ(PixelAt(*context, 10, 15), 0u);                // untouched and transparent
}

TEST_F(RenderTest, DecodesImagesAndRefusesGarbage) {
  // A 2 x 1 PNG: one opaque red pixel, one half-transparent green one.
  static const unsigned char kPng[] = {
      0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44,
      0x52, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0xF4,
      0x22, 0x7F, 0x8A, 0x00, 0x00, 0x00, 0x0F, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0xF8,
      0xCF, 0xC0, 0xF0, 0x1F, 0x08, 0x1B, 0x00, 0x10, 0x79, 0x03, 0x7E, 0x7D, 0x63, 0xCE, 0xD7,
      0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
  ui::DecodedImage image;
  ASSERT_TRUE(factory_.DecodeImage(kPng, sizeof(kPng), &image));
  ASSERT_EQ(image.frames.size(), 1u);
  EXPECT_EQ(image.width, 2);
  EXPECT_EQ(image.height, 1);
  EXPECT_TRUE(image.hasAlpha);
  const auto* bits = static_cast<const DWORD*>(image.frames[0]->GetBits());
  EXPECT_EQ(bits[0], 0xFFFF0000u);
  EXPECT_NEAR(AlphaOf(bits[1]), 0x80, 1);

  const unsigned char garbage[] = "not an image at all";
  ui::DecodedImage none;
  EXPECT_FALSE(factory_.DecodeImage(garbage, sizeof(garbage), &none));
  EXPECT_FALSE(factory_.DecodeImage(kPng, 20, &none));  // truncated
  EXPECT_FALSE(factory_.DecodeImage(nullptr, 0, &none));
}

// The rich edit over the real msftedit text services, hosted in a real (hidden) window.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "ui/core/Box.h"
#include "ui/draw/IBitmap.h"
#include "ui/draw/IRenderContext.h"
#include "ui/draw/IRenderFactory.h"
#include "ui/builder/LayoutBuilder.h"
#include "ui/widgets/RichEdit.h"
#include "ui/core/Window.h"

namespace {

using ui::MakeRect;

using ui_test::HostWindow;

class RichEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui_test::StartToolkitWithoutSkin();
    ui::UiGlobal::GetColourTable().Add(L"edit_black", L"#ff000000");
    ui::UiGlobal::GetColourTable().Add(L"edit_white", L"#ffffffff");
    window_ = new HostWindow();
    hwnd_ = window_->CreateNativeWindow(nullptr, L"rich edit test", WS_POPUP, 0, false,
                                        MakeRect(0, 0, 400, 200));
    ASSERT_NE(nullptr, hwnd_);
    ui::LayoutBuilder builder;
    ui::Control* root = builder.Create(
        L"<Window><VBox bkcolor=\"edit_white\">"
        L"<RichEdit name=\"single\" height=\"auto\" padding=\"6,6,6,6\" multiline=\"false\" "
        L"rich=\"false\" readonly=\"true\" normaltextcolor=\"edit_black\" text=\"C:\\Program\"/>"
        L"<RichEdit name=\"multi\" width=\"300\" height=\"95\" multiline=\"true\" rich=\"false\" "
        L"normaltextcolor=\"edit_black\" wantreturnmsg=\"false\"/>"
        L"</VBox></Window>",
        nullptr, window_);
    ASSERT_NE(nullptr, root);
    window_->AttachRoot(root);
    root->SetPos(MakeRect(0, 0, 400, 200));
    single_ = static_cast<ui::RichEdit*>(window_->FindNamedControl(L"single"));
    multi_ = static_cast<ui::RichEdit*>(window_->FindNamedControl(L"multi"));
    ASSERT_NE(nullptr, single_);
    ASSERT_NE(nullptr, multi_);
  }

  void TearDown() override {
    if (hwnd_) ::DestroyWindow(hwnd_);  // the window object deletes itself
  }

  HostWindow* window_ = nullptr;
  HWND hwnd_ = nullptr;
  ui::RichEdit* single_ = nullptr;
  ui::RichEdit* multi_ = nullptr;
};

TEST_F(RichEditTest, TextSetBeforeTheServicesExistIsApplied) {
  ASSERT_TRUE(single_->HasTextServices()) << "msftedit.dll could not be loaded";
  EXPECT_EQ(L"C:\\Program", single_->GetText());
  EXPECT_TRUE(single_->IsReadOnly());
  EXPECT_FALSE(single_->IsMultiLine());
  // Program code may still replace the text of a read-only field.
  single_->SetText(L"D:\\其他\\pageWright");
  EXPECT_EQ(L"D:\\其他\\pageWright", single_->GetText());
}

TEST_F(RichEditTest, ParagraphBreaksComeBackAsCarriageReturnsAndChangesAreReported) {
  ASSERT_TRUE(multi_->HasTextServices());
  int changes = 0;
  multi_->AddEventHandler(ui::kEventTextChange, [&](const ui::EventArgs& args) {
    EXPECT_EQ(multi_, args.sender);
    ++changes;
    return true;
  });
  multi_->SetText(L"first\r\nsecond");
  EXPECT_EQ(L"first\rsecond", multi_->GetText());
  EXPECT_GT(changes, 0);
  const int before = changes;
  multi_->SetText(L"first\rsecond");  // the same text: nothing happens
  EXPECT_EQ(before, changes);
  multi_->SetText(L"");
  EXPECT_EQ(L"", multi_->GetText());
}

TEST_F(RichEditTest, TypingGoesIntoTheFocusedEditableFieldOnly) {
  ASSERT_TRUE(multi_->HasTextServices());
  multi_->SetFocus();
  EXPECT_TRUE(multi_->IsFocused());
  for (wchar_t ch : std::wstring(L"ok")) {
    multi_->SendEvent(ui::kEventChar, ch, 0, ch, POINT{10, 60});
  }
  EXPECT_EQ(L"ok", multi_->GetText());

  single_->SetFocus();
  EXPECT_FALSE(multi_->IsFocused());
  const std::wstring before = single_->GetText();
  single_->SendEvent(ui::kEventChar, L'x', 0, L'x', POINT{10, 10});
  EXPECT_EQ(before, single_->GetText());  // read-only
}

TEST_F(RichEditTest, NaturalSizeGrowsWithLinesAndAutoHeightFitsOneLine) {
  ASSERT_TRUE(multi_->HasTextServices());
  multi_->SetText(L"one");
  const SIZE one = multi_->GetNaturalSize(300, 0);
  multi_->SetText(L"one\r\ntwo\r\nthree");
  const SIZE three = multi_->GetNaturalSize(300, 0);
  EXPECT_GT(one.cy, 0);
  EXPECT_GT(three.cy, one.cy * 2);
  // The auto-height single line field is one text line plus its padding.
  const int height = ui::RectHeight(single_->GetPos());
  EXPECT_GT(height, 12 + 8);
  EXPECT_LT(height, 12 + 40);
}

// The window painted as it is now: one 0x00RRGGBB pixel per entry, rows of 400.
std::vector<DWORD> PaintWindow(ui::Window* window) {
  auto context = ui::UiGlobal::GetRenderFactory()->CreateRenderContext();
  if (!context->Resize(400, 200)) return {};
  context->Clear();
  window->GetRoot()->Paint(context.get(), MakeRect(0, 0, 400, 200));
  const auto* bits = static_cast<const DWORD*>(context->GetBitmap()->GetBits());
  return std::vector<DWORD>(bits, bits + 400 * 200);
}

int DarkPixels(const std::vector<DWORD>& pixels, const RECT& area) {
  int dark = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      const DWORD pixel = pixels[y * 400 + x];
      if ((pixel >> 24) == 0xff && (pixel & 0xff) < 0x60) ++dark;
    }
  }
  return dark;
}

TEST_F(RichEditTest, TextIsPaintedIntoTheContext) {
  ASSERT_TRUE(single_->HasTextServices());
  EXPECT_GT(DarkPixels(PaintWindow(window_), single_->GetTextRect()), 20);
}

TEST_F(RichEditTest, TheMouseWheelScrollsALongTextBothWays) {
  ASSERT_TRUE(multi_->HasTextServices());
  std::wstring text;
  for (int i = 1; i <= 20; ++i) text += L"line " + std::to_wstring(i) + L"\r\n";
  multi_->SetText(text);
  // The wheel message as the system sends it: the delta in the high word, the
  // point in screen coordinates.
  const RECT pos = multi_->GetPos();
  POINT point = {(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2};
  ::ClientToScreen(hwnd_, &point);
  const auto wheel = [&](short delta) {
    ::SendMessageW(hwnd_, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)),
                   MAKELPARAM(point.x, point.y));
  };
  for (int i = 0; i < 10; ++i) wheel(WHEEL_DELTA);  // up to the first line
  const std::vector<DWORD> top = PaintWindow(window_);
  ASSERT_GT(DarkPixels(top, multi_->GetTextRect()), 20);
  wheel(-WHEEL_DELTA);
  const std::vector<DWORD> down = PaintWindow(window_);
  EXPECT_NE(top, down) << "a notch down did not scroll";
  EXPECT_GT(DarkPixels(down, multi_->GetTextRect()), 20) << "scrolled past the text";
  wheel(WHEEL_DELTA);
  EXPECT_EQ(top, PaintWindow(window_)) << "a notch up did not come back to the first line";
}

}  // namespace

// The installer's main layout from the real skin, built and arranged at 600 x 400: where the
// controls of the welcome and install pages end up.
#include <gtest/gtest.h>
#include <windows.h>
#include <imm.h>

#include "TestSupport.h"
#include "ui/core/Box.h"
#include "ui/widgets/Button.h"
#include "ui/widgets/CheckBox.h"
#include "ui/builder/LayoutBuilder.h"
#include "ui/shell/Startup.h"
#include "ui/widgets/Progress.h"
#include "ui/widgets/RichEdit.h"

namespace {

using ui::MakeRect;

class BasicLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    ui_test::StartToolkitWithoutSkin();
    const std::wstring root = ui_test::SourceDir() + L"\\resources\\";
    ASSERT_NE(INVALID_FILE_ATTRIBUTES,
              ::GetFileAttributesW((root + L"themes\\default\\basic\\basic.xml").c_str()));
    savedPath_ = ui::UiGlobal::GetResourcePath();
    ui::UiGlobal::SetResourcePath(root + L"themes\\default");
    ui::UiGlobal::GetFontTable().Clear();
    ui::LoadGlobalResources();
    window_ = new ui_test::HostWindow();
    hwnd_ = window_->CreateNativeWindow(nullptr, L"basic layout", WS_POPUP, 0, false,
                                        MakeRect(0, 0, 600, 400));
    ASSERT_NE(nullptr, hwnd_);
    window_->SetWindowResourcePath(L"basic");
    ui::LayoutBuilder builder;
    ui::Control* layout = builder.Create(L"basic\\basic.xml", nullptr, window_);
    ASSERT_NE(nullptr, layout) << builder.GetLastError();
    window_->AttachRoot(layout);
    layout->SetPos(MakeRect(0, 0, 600, 400));
  }

  void TearDown() override {
    if (hwnd_) ::DestroyWindow(hwnd_);
    if (!savedPath_.empty()) ui::UiGlobal::SetResourcePath(savedPath_);
  }

  ui::Control* Find(const wchar_t* name) { return window_->FindNamedControl(name); }

  ui_test::HostWindow* window_ = nullptr;
  HWND hwnd_ = nullptr;
  std::wstring savedPath_;
};

TEST_F(BasicLayout, WindowAttributesAndNamedControls) {
  EXPECT_EQ(600, window_->GetInitSize().cx - window_->GetShadowMargins().left -
                     window_->GetShadowMargins().right);
  for (const wchar_t* name :
       {L"btn_startinstall", L"btn_expand", L"btn_reinstall", L"welcompage", L"installpage",
        L"installedpage", L"installfaildpage", L"ExitStartpage", L"downloadAlert", L"customizebar",
        L"progress_install", L"progress_install_value", L"download_failed_msg", L"edit_installdir",
        L"btn_exit", L"edit_feedback", L"checkbox_1", L"checkbox_5", L"checkbox_agreement"}) {
    EXPECT_NE(nullptr, Find(name)) << "control " << name;
  }
  EXPECT_EQ(nullptr, Find(L"commented_out_button_that_does_not_exist"));
  EXPECT_NE(nullptr, dynamic_cast<ui::Progress*>(Find(L"progress_install")));
  EXPECT_NE(nullptr, dynamic_cast<ui::RichEdit*>(Find(L"edit_installdir")));
  auto* agreement = dynamic_cast<ui::CheckBox*>(Find(L"checkbox_agreement"));
  ASSERT_NE(nullptr, agreement);
  EXPECT_TRUE(agreement->IsSelected());
  EXPECT_FALSE(agreement->IsVisible());
  EXPECT_FALSE(Find(L"btn_quitStart")->IsEnabled());
  EXPECT_FALSE(Find(L"customizebar")->IsVisible());
}

TEST_F(BasicLayout, WelcomePagePlacesLogoAndStartButtonCentred) {
  ui::Control* start = Find(L"btn_startinstall");
  EXPECT_EQ(240, ui::RectWidth(start->GetPos()));
  EXPECT_EQ(52, ui::RectHeight(start->GetPos()));
  EXPECT_EQ(180, start->GetPos().left);
  ui::Control* exit = Find(L"btn_exit");
  EXPECT_EQ(24, ui::RectWidth(exit->GetPos()));
  EXPECT_EQ(589, exit->GetPos().right);  // titlebar margin right 11
  EXPECT_EQ(10, exit->GetPos().top);
  // The bottom bar sits at the bottom of the page with its 10-pixel margin.
  ui::Control* expand = Find(L"btn_expand");
  EXPECT_EQ(16, ui::RectWidth(expand->GetPos()));
  EXPECT_EQ(574, expand->GetPos().right);  // padding right 26
  EXPECT_LT(expand->GetPos().bottom, 400);
  EXPECT_GT(expand->GetPos().top, 300);
}

TEST_F(BasicLayout, InstallPageProgressBarSpansTheWidthLessItsMargins) {
  Find(L"welcompage")->SetVisible(false);
  Find(L"installpage")->SetVisible(true);
  window_->GetRoot()->SetPos(MakeRect(0, 0, 600, 400));
  auto* progress = static_cast<ui::Progress*>(Find(L"progress_install"));
  EXPECT_EQ(20, progress->GetPos().left);
  EXPECT_EQ(560, ui::RectWidth(progress->GetPos()));
  EXPECT_EQ(6, ui::RectHeight(progress->GetPos()));
  progress->SetValue(50);
  EXPECT_EQ(280, progress->GetProgressPos().right);
  // The text line under it is centred.
  ui::Control* line = Find(L"progress_install_value");
  const RECT& pos = line->GetPos();
  EXPECT_NEAR(300, (pos.left + pos.right) / 2, 1);
  EXPECT_GT(pos.top, progress->GetPos().bottom);
}

// A Chinese input method opens its composition and candidate list where it is told the caret
// is: the rich edit draws its own caret, so it must say. The exit survey's feedback field.
TEST_F(BasicLayout, TheInputMethodIsToldWhereTheFeedbackCaretIs) {
  Find(L"welcompage")->SetVisible(false);
  Find(L"ExitStartpage")->SetVisible(true);
  window_->GetRoot()->SetPos(MakeRect(0, 0, 600, 400));
  auto* feedback = dynamic_cast<ui::RichEdit*>(Find(L"edit_feedback"));
  ASSERT_NE(nullptr, feedback);
  ASSERT_TRUE(feedback->HasTextServices());
  feedback->SetFocus();
  ASSERT_TRUE(feedback->IsFocused());
  const auto type = [feedback](const std::wstring& text) {
    for (wchar_t ch : text) feedback->SendEvent(ui::kEventChar, ch, 0, ch, POINT{0, 0});
  };
  const auto compositionPoint = [this]() {
    POINT point = {-1, -1};
    HIMC context = ::ImmGetContext(hwnd_);
    COMPOSITIONFORM form = {};
    if (context && ::ImmGetCompositionWindow(context, &form) && form.dwStyle == CFS_POINT)
      point = form.ptCurrentPos;
    if (context) ::ImmReleaseContext(hwnd_, context);
    return point;
  };
  type(L"太慢");
  const POINT first = compositionPoint();
  const RECT field = feedback->GetPos();
  EXPECT_TRUE(::PtInRect(&field, first)) << first.x << "," << first.y;
  EXPECT_GT(first.x, feedback->GetTextRect().left + 4);  // after the text, not at its start
  feedback->SendEvent(ui::kEventKeyDown, VK_RETURN, 0, 0, POINT{0, 0});
  type(L"了");
  const POINT second = compositionPoint();
  EXPECT_TRUE(::PtInRect(&field, second)) << second.x << "," << second.y;
  EXPECT_GT(second.y, first.y + 8);  // on the caret's new line
}

}  // namespace

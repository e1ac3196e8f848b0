// The main layout's first frame from the packed skin, as the installer starts it: what must
// and must not have happened by then, and that the work left for later still happens when
// its page is shown.
#include <windows.h>

#include <string>

#include "gtest/gtest.h"
#include "ui/core/Control.h"
#include "ui/core/EventArgs.h"
#include "ui/widgets/RichEdit.h"
#include "ui/skin/SkinArchive.h"
#include "ui/core/UiGlobal.h"
#include "ui/shell/WindowImplBase.h"
#include "ui/shell/Startup.h"

namespace {

class MainLayoutWindow : public ui::WindowImplBase {
 public:
  std::wstring WindowClassName() const override { return L"MainWindow"; }
  std::wstring SkinFolder() const override { return L"basic"; }
  std::wstring SkinFile() const override { return L"basic.xml"; }
};

void PumpUntilPainted(ui::Window* window, int paints) {
  const DWORD start = ::GetTickCount();
  while (window->GetPaintStats().paints < paints && ::GetTickCount() - start < 20000) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

bool RichEditLibraryLoaded() {
  return ::GetModuleHandleW(L"msftedit.dll") != nullptr ||
         ::GetModuleHandleW(L"msftedit50.dll") != nullptr;
}

class StartupTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(136), L"THEME");
    HGLOBAL loaded = found ? ::LoadResource(nullptr, found) : nullptr;
    ASSERT_NE(nullptr, loaded);
    ASSERT_NE(nullptr, ui::OpenSkinArchive(::LockResource(loaded), ::SizeofResource(nullptr, found),
                                           std::string()));
    ui::StartupOptions options;
    options.resourceRoot = L"resources\\";
    options.themeFolder = L"themes\\default";
    options.languageFolder = L"lang\\zh_CN";
    ui::Startup(options);
  }

  void SetUp() override {
    window_ = new MainLayoutWindow();
    hwnd_ = window_->CreateNativeWindow(nullptr, L"MainWindow",
                                        WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX, 0,
                                        true, RECT{0, 0, 0, 0});
    ASSERT_NE(nullptr, hwnd_);
    window_->CenterOnOwner();
    window_->ShowWithFocus(true, true);
    PumpUntilPainted(window_, 1);
    ASSERT_GT(window_->GetPaintStats().paints, 0) << "no first frame";
  }

  void TearDown() override {
    if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);  // the object deletes itself
  }

  ui::RichEdit* Edit(const wchar_t* name) {
    return dynamic_cast<ui::RichEdit*>(window_->FindNamedControl(name));
  }

  // Shows a page as the flow does and paints what changed.
  void ShowAndPaint(const wchar_t* show, const wchar_t* hide) {
    ui::Control* shown = window_->FindNamedControl(show);
    ASSERT_NE(nullptr, shown) << show;
    if (hide) {
      ui::Control* hidden = window_->FindNamedControl(hide);
      ASSERT_NE(nullptr, hidden) << hide;
      hidden->SetVisible(false);
    }
    shown->SetVisible(true);
    const int before = window_->GetPaintStats().paints;
    window_->PaintNow();
    EXPECT_GT(window_->GetPaintStats().paints, before);
  }

  MainLayoutWindow* window_ = nullptr;
  HWND hwnd_ = nullptr;
};

// Runs first in this program: nothing before it may have loaded msftedit.
TEST_F(StartupTest, EditFieldsOnHiddenPagesAreReadyOnlyWhenTheirPageIsShown) {
  // Both edit fields sit on pages that are hidden at start: the first frame must not have
  // paid for the rich edit library.
  EXPECT_FALSE(RichEditLibraryLoaded());

  ui::RichEdit* installDir = Edit(L"edit_installdir");
  ASSERT_NE(nullptr, installDir);
  EXPECT_EQ(L"C:\\Program Files (x86)\\pageWright", installDir->GetText());
  int changes = 0;
  installDir->AddEventHandler(ui::kEventTextChange, [&changes](const ui::EventArgs&) {
    ++changes;
    return true;
  });
  // The installer settles the folder before the bar is ever opened; the change is reported
  // as the text services would report it, once.
  installDir->SetText(L"D:\\软件\\pageWright");
  EXPECT_EQ(1, changes);
  installDir->SetText(L"D:\\软件\\pageWright");
  EXPECT_EQ(1, changes);
  EXPECT_EQ(L"D:\\软件\\pageWright", installDir->GetText());
  EXPECT_FALSE(RichEditLibraryLoaded());

  // Opening the customize bar paints the field: the services now exist, hold the text, and
  // their creation is not reported as a change.
  ShowAndPaint(L"customizebar", nullptr);
  EXPECT_TRUE(RichEditLibraryLoaded());
  ASSERT_TRUE(installDir->HasTextServices());
  EXPECT_EQ(L"D:\\软件\\pageWright", installDir->GetText());
  EXPECT_EQ(1, changes);
  installDir->SetText(L"E:\\pageWright");
  EXPECT_EQ(2, changes);
  EXPECT_EQ(L"E:\\pageWright", installDir->GetText());

  // The survey's free-text field: shown empty without a change, then typed into.
  ui::RichEdit* feedback = Edit(L"edit_feedback");
  ASSERT_NE(nullptr, feedback);
  int feedbackChanges = 0;
  feedback->AddEventHandler(ui::kEventTextChange, [&feedbackChanges](const ui::EventArgs&) {
    ++feedbackChanges;
    return true;
  });
  ShowAndPaint(L"ExitStartpage", L"welcompage");
  EXPECT_EQ(0, feedbackChanges);
  EXPECT_EQ(L"", feedback->GetText());
  feedback->SetFocus();
  for (wchar_t ch : std::wstring(L"太慢")) {
    feedback->SendEvent(ui::kEventChar, ch, 0, ch, POINT{30, 300});
  }
  EXPECT_EQ(L"太慢", feedback->GetText());
  EXPECT_GT(feedbackChanges, 0);
}

// A field asked for its services directly gets them at once, hidden or not.
TEST_F(StartupTest, AskingForTheServicesCreatesThemWhileThePageIsHidden) {
  ui::RichEdit* feedback = Edit(L"edit_feedback");
  ASSERT_NE(nullptr, feedback);
  ASSERT_FALSE(window_->FindNamedControl(L"ExitStartpage")->IsVisible());
  feedback->SetText(L"line");
  ASSERT_TRUE(feedback->HasTextServices());
  EXPECT_EQ(L"line", feedback->GetText());
  const SIZE natural = feedback->GetNaturalSize(300, 0);
  EXPECT_GT(natural.cy, 0);
}

}  // namespace

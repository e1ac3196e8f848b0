// The window base under Wine: sizes, caption band, input routing, closing, partial painting.
#include <gtest/gtest.h>

#include <vector>

#include "UiTestSupport.h"
#include "ui/core/Box.h"
#include "ui/widgets/Button.h"
#include "ui/core/Control.h"
#include "ui/draw/IBitmap.h"
#include "ui/draw/IRenderContext.h"
#include "ui/widgets/Label.h"
#include "ui/widgets/Progress.h"
#include "ui/core/UiGlobal.h"

using uitest::CenterOf;
using uitest::PumpUntil;
using uitest::RunAsUiThread;
using uitest::TestWindow;

namespace {

SIZE WindowSize(HWND hwnd) {
  RECT rect;
  ::GetWindowRect(hwnd, &rect);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

LRESULT HitTestAt(HWND hwnd, POINT client) {
  ::ClientToScreen(hwnd, &client);
  return ::SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(client.x, client.y));
}

struct ErrorBoxSeen {
  std::wstring text;
  std::wstring caption;
};

DWORD WINAPI DismissErrorBox(LPVOID parameter) {
  auto* out = static_cast<ErrorBoxSeen*>(parameter);
  for (int i = 0; i < 1200; ++i) {
    HWND box = ::FindWindowW(L"#32770", L"Taloux");
    if (box) {
      wchar_t text[512] = {};
      ::GetDlgItemTextW(box, 0xFFFF, text, 512);
      out->text = text;
      out->caption = L"Taloux";
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
      return 0;
    }
    ::Sleep(50);
  }
  return 1;
}

void CloseNow(HWND hwnd) {
  if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
}

}  // namespace

TEST(WindowTest, MainLayoutSizeIncludesTheScaledShadow) {
  RunAsUiThread([] {
    const int dpi = uitest::RequestedDpi();
    ASSERT_EQ(ui::UiGlobal::GetDpiState().GetScale(), ::MulDiv(dpi, 100, 96));
    TestWindow* window = TestWindow::Open(L"basic", L"basic.xml");
    ASSERT_NE(window, nullptr);
    HWND hwnd = window->GetHWND();
    const SIZE size = WindowSize(hwnd);
    if (dpi == 96) {
      EXPECT_EQ(size.cx, 628);
      EXPECT_EQ(size.cy, 428);
    } else if (dpi == 120) {
      EXPECT_EQ(size.cx, 786);
      EXPECT_EQ(size.cy, 536);
    }
    // 600 x 400 scaled, plus a 14-pixel margin scaled on each side.
    const int margin = ui::UiGlobal::GetDpiState().ScaleValue(14);
    EXPECT_EQ(size.cx, ui::UiGlobal::GetDpiState().ScaleValue(600) + 2 * margin);
    EXPECT_EQ(size.cy, ui::UiGlobal::GetDpiState().ScaleValue(400) + 2 * margin);
    EXPECT_EQ(::GetWindowLongW(hwnd, GWL_STYLE) & WS_CAPTION, 0);
    EXPECT_NE(::GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    CloseNow(hwnd);
  });
}

TEST(WindowTest, CaptionBandDragsOnLabelsButNotOnButtonsOrShadow) {
  RunAsUiThread([] {
    TestWindow* window = TestWindow::Open(L"basic", L"basic.xml");
    ASSERT_NE(window, nullptr);
    HWND hwnd = window->GetHWND();
    window->ShowWithFocus(true, true);
    ASSERT_TRUE(PumpUntil([&] { return window->GetPaintStats().paints > 0; }));

    ui::Control* label = window->FindNamedControl(L"appnameLable_welcom");
    ui::Control* button = window->FindNamedControl(L"btn_startinstall");
    ui::Control* checkbox = window->FindNamedControl(L"checkbox_1");
    ASSERT_NE(label, nullptr);
    ASSERT_NE(button, nullptr);
    ASSERT_NE(checkbox, nullptr);
    EXPECT_EQ(HitTestAt(hwnd, CenterOf(label->GetPos())), HTCAPTION);
    EXPECT_EQ(HitTestAt(hwnd, CenterOf(button->GetPos())), HTCLIENT);
    // The shadow margin is client area, not caption.
    EXPECT_EQ(HitTestAt(hwnd, POINT{3, 3}), HTCLIENT);
    // Plain background inside the layout drags too.
    const int margin = ui::UiGlobal::GetDpiState().ScaleValue(14);
    EXPECT_EQ(HitTestAt(hwnd, POINT{margin + 5, margin + 120}), HTCAPTION);
    CloseNow(hwnd);
  });
}

TEST(WindowTest, ClicksReachButtonsOnlyWhenReleasedOverThem) {
  RunAsUiThread([] {
    TestWindow* window = TestWindow::Open(L"basic", L"basic.xml");
    ASSERT_NE(window, nullptr);
    HWND hwnd = window->GetHWND();
    window->ShowWithFocus(true, true);
    auto* button = dynamic_cast<ui::Button*>(window->FindNamedControl(L"btn_startinstall"));
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return window->GetPaintStats().paints > 0; }));
    int clicks = 0;
    button->AddClickHandler([&](const ui::EventArgs& args) {
      EXPECT_EQ(args.sender, button);
      ++clicks;
      return true;
    });
    const POINT center = CenterOf(button->GetPos());

    uitest::MouseMove(hwnd, center);
    EXPECT_EQ(window->GetHoverControl(), button);
    EXPECT_EQ(button->GetState(), ui::kControlStateHot);

    uitest::Press(hwnd, center);
    EXPECT_EQ(button->GetState(), ui::kControlStatePushed);
    EXPECT_TRUE(window->IsCaptured());
    uitest::Release(hwnd, center);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(window->IsCaptured());
    // The click leaves the keyboard focus where it was, so keys pressed later do not
    // click again.
    EXPECT_FALSE(button->IsFocused());
    ::SendMessageW(hwnd, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(clicks, 1);

    // A focused button loses the focus when its page is hidden, and keys do not reach it.
    ui::Control* page = button->GetParent();
    ASSERT_NE(page, nullptr);
    button->SetFocus();
    ASSERT_TRUE(button->IsFocused());
    page->SetVisible(false);
    EXPECT_FALSE(button->IsFocused());
    button->SetFocus();  // nor can it take the focus while hidden
    EXPECT_FALSE(button->IsFocused());
    ::SendMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(clicks, 1);
    page->SetVisible(true);

    // Pressed, then released outside: no click, and the button is normal again.
    uitest::Press(hwnd, center);
    uitest::Release(hwnd, POINT{center.x, button->GetPos().bottom + 40});
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button->GetState(), ui::kControlStateNormal);

    // A disabled button ignores the mouse.
    button->SetEnabled(false);
    uitest::Click(hwnd, center);
    EXPECT_EQ(clicks, 1);
    CloseNow(hwnd);
  });
}

TEST(WindowTest, CloseWithResultHidesFirstAndClosesLater) {
  RunAsUiThread([] {
    int result = -1;
    TestWindow* window = TestWindow::Open(L"basic", L"basic.xml", &result);
    ASSERT_NE(window, nullptr);
    HWND hwnd = window->GetHWND();
    window->ShowWithFocus(true, true);
    ASSERT_TRUE(PumpUntil([&] { return window->GetPaintStats().paints > 0; }));

    bool closeEventSeen = false;
    window->AttachWindowEvent(ui::kEventWindowClose, [&](const ui::EventArgs& args) {
      EXPECT_EQ(args.type, ui::kEventWindowClose);
      closeEventSeen = true;
      return true;
    });
    auto* button = window->FindNamedControl(L"btn_startinstall");
    ASSERT_NE(button, nullptr);
    int clicks = 0;
    button->AddEventHandler(ui::kEventClick, [&](const ui::EventArgs&) {
      ++clicks;
      return true;
    });
    window->CloseWithResult(7);
    // Nothing closes synchronously: the window is still there, its close is pending.
    EXPECT_TRUE(::IsWindow(hwnd));
    // ...but its controls are gone for the mouse: a second click of a double click
    // does nothing.
    uitest::Click(hwnd, CenterOf(button->GetPos()));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(result, -1);
    ASSERT_TRUE(PumpUntil([&] { return window->GetWindowAlpha() < 255; }, 5000));
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(hwnd); }, 5000));
    EXPECT_EQ(result, 7);
    EXPECT_TRUE(closeEventSeen);
  });
}

TEST(WindowTest, ProgressUpdateRepaintsOnlyTheBar) {
  RunAsUiThread([] {
    TestWindow* window = TestWindow::Open(L"basic", L"basic.xml");
    ASSERT_NE(window, nullptr);
    HWND hwnd = window->GetHWND();
    window->FindNamedControl(L"welcompage")->SetVisible(false);
    window->FindNamedControl(L"installpage")->SetVisible(true);
    window->ShowWithFocus(true, true);
    ASSERT_TRUE(PumpUntil([&] { return window->GetPaintStats().paints > 0; }));
    uitest::PumpFor(100);
    RECT client;
    ::GetClientRect(hwnd, &client);

    auto* bar = dynamic_cast<ui::Progress*>(window->FindNamedControl(L"progress_install"));
    ASSERT_NE(bar, nullptr);
    ui::IRenderContext* context = window->GetRenderContext();
    ASSERT_NE(context, nullptr);
    auto snapshot = [context] {
      ::GdiFlush();
      const auto* bits = static_cast<const DWORD*>(context->GetBitmap()->GetBits());
      return std::vector<DWORD>(bits, bits + context->GetWidth() * context->GetHeight());
    };
    const std::vector<DWORD> old = snapshot();
    const int before = window->GetPaintStats().paints;
    bar->SetValue(55);
    ASSERT_TRUE(PumpUntil([&] { return window->GetPaintStats().paints > before; }));
    const RECT area = window->GetPaintStats().lastArea;
    const RECT barPos = bar->GetPos();
    // The frame outside the bar is left exactly as it was; the bar itself shows the new value.
    const std::vector<DWORD> now = snapshot();
    ASSERT_EQ(old.size(), now.size());
    int changedOutside = 0;
    int changedInBar = 0;
    for (int y = 0; y < context->GetHeight(); ++y) {
      for (int x = 0; x < context->GetWidth(); ++x) {
        const size_t i = static_cast<size_t>(y) * context->GetWidth() + x;
        if (old[i] == now[i]) continue;
        (ui::PointInRect(barPos, POINT{x, y}) ? changedInBar : changedOutside)++;
      }
    }
    EXPECT_EQ(changedOutside, 0);
    EXPECT_GT(changedInBar, 0);
    RECT joined;
    ::UnionRect(&joined, &area, &barPos);
    EXPECT_TRUE(::EqualRect(&joined, &barPos))
        << "painted " << area.left << "," << area.top << "," << area.right << "," << area.bottom;
    EXPECT_LT((area.right - area.left) * (area.bottom - area.top),
              (client.right - client.left) * (client.bottom - client.top) / 10);
    CloseNow(hwnd);
  });
}

TEST(WindowTest, MissingLayoutReportsTheFileAndLeavesAnEmptyWindow) {
  RunAsUiThread([] {
    // A helper thread reads and dismisses the error box the window shows.
    ErrorBoxSeen seen;
    HANDLE watcher = ::CreateThread(nullptr, 0, &DismissErrorBox, &seen, 0, nullptr);
    TestWindow* window = TestWindow::Open(L"nowhere", L"missing.xml");
    ::WaitForSingleObject(watcher, 30000);
    ::CloseHandle(watcher);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->GetRoot(), nullptr);
    EXPECT_EQ(seen.caption, L"Taloux");
    EXPECT_NE(seen.text.find(L"Failed to load xml file "), std::wstring::npos) << seen.text.c_str();
    EXPECT_NE(seen.text.find(L"missing.xml"), std::wstring::npos);
    // Without a root the close is immediate (posted at once).
    HWND hwnd = window->GetHWND();
    window->CloseWithResult(0);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(hwnd); }, 5000));
  });
}

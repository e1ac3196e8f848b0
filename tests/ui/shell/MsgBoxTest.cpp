// The message box under Wine: owner disabled while it is open, exactly one answer, posted after
// the click, and its size following the message.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "ui/core/Control.h"
#include "ui/shell/MsgBox.h"
#include "ui/core/UiGlobal.h"

using uitest::CenterOf;
using uitest::PumpUntil;
using uitest::RunAsUiThread;
using uitest::TestWindow;

namespace {

struct OpenBox {
  HWND hwnd = nullptr;
  ui::Window* window = nullptr;
};

// Opens a box over owner and finds it.
OpenBox Open(HWND owner, std::vector<MsgBoxRet>* answers, const std::wstring& content,
             const std::wstring& yes = L"重试", const std::wstring& no = L"强制关闭") {
  OpenMsgBox(
      owner, [answers](MsgBoxRet ret) { answers->push_back(ret); }, content, false, L"提示", false,
      yes, false, no, false);
  OpenBox box;
  box.hwnd = ::FindWindowW(L"MsgBox", nullptr);
  if (box.hwnd) {
    box.window = reinterpret_cast<ui::Window*>(::GetWindowLongPtrW(box.hwnd, GWLP_USERDATA));
  }
  return box;
}

POINT CenterOfControl(ui::Window* window, const wchar_t* name) {
  ui::Control* control = window ? window->FindNamedControl(name) : nullptr;
  return control ? CenterOf(control->GetPos()) : POINT{-1, -1};
}

SIZE WindowSize(HWND hwnd) {
  RECT rect;
  ::GetWindowRect(hwnd, &rect);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

const wchar_t kQuestion[] = L"应用程序 \"岚枢PDF转换器\" 正在运行，是否强制关闭？";

}  // namespace

TEST(MsgBoxTest, YesArrivesOnceAfterTheClickWithTheOwnerEnabledAgain) {
  RunAsUiThread([] {
    TestWindow* owner = TestWindow::Open(L"basic", L"basic.xml");
    ASSERT_NE(owner, nullptr);
    owner->ShowWithFocus(true, true);
    std::vector<MsgBoxRet> answers;
    bool ownerEnabledAtAnswer = false;
    OpenMsgBox(
        owner->GetHWND(),
        [&](MsgBoxRet ret) {
          ownerEnabledAtAnswer = ::IsWindowEnabled(owner->GetHWND()) != FALSE;
          answers.push_back(ret);
        },
        kQuestion, false, L"提示", false, L"重试", false, L"强制关闭", false);
    HWND box = ::FindWindowW(L"MsgBox", nullptr);
    ASSERT_NE(box, nullptr);
    auto* boxWindow = reinterpret_cast<ui::Window*>(::GetWindowLongPtrW(box, GWLP_USERDATA));
    EXPECT_FALSE(::IsWindowEnabled(owner->GetHWND()));
    EXPECT_EQ(::GetWindow(box, GW_OWNER), owner->GetHWND());
    ASSERT_TRUE(PumpUntil([&] { return boxWindow->GetPaintStats().paints > 0; }));
    // The yes button has the keyboard focus.
    EXPECT_EQ(boxWindow->GetFocus(), boxWindow->FindNamedControl(L"btn_yes"));

    const POINT yes = CenterOfControl(boxWindow, L"btn_yes");
    uitest::Click(box, yes);
    // The click has been handled completely; the answer is still only posted.
    EXPECT_TRUE(answers.empty());
    EXPECT_TRUE(::IsWindowEnabled(owner->GetHWND()));
    ASSERT_TRUE(PumpUntil([&] { return !answers.empty(); }));
    EXPECT_EQ(answers[0], MsgBoxRet::Yes);
    EXPECT_TRUE(ownerEnabledAtAnswer);

    // A second click during the fade does not answer again.
    if (::IsWindow(box)) uitest::Click(box, yes);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(box); }, 5000));
    uitest::PumpFor(100);
    EXPECT_EQ(answers.size(), 1u);
    ::DestroyWindow(owner->GetHWND());
  });
}

TEST(MsgBoxTest, CloseCrossAndNoButtonAnswerNoOnce) {
  RunAsUiThread([] {
    TestWindow* owner = TestWindow::Open(L"basic", L"basic.xml");
    ASSERT_NE(owner, nullptr);
    for (const wchar_t* button : {L"closebtn", L"btn_no"}) {
      std::vector<MsgBoxRet> answers;
      OpenBox box = Open(owner->GetHWND(), &answers, kQuestion);
      ASSERT_NE(box.hwnd, nullptr);
      ASSERT_TRUE(PumpUntil([&] { return box.window->GetPaintStats().paints > 0; }));
      uitest::Click(box.hwnd, CenterOfControl(box.window, button));
      ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(box.hwnd); }, 5000)) << button;
      uitest::PumpFor(50);
      ASSERT_EQ(answers.size(), 1u) << button;
      EXPECT_EQ(answers[0], MsgBoxRet::No) << button;
      EXPECT_TRUE(::IsWindowEnabled(owner->GetHWND())) << button;
    }
    ::DestroyWindow(owner->GetHWND());
  });
}

TEST(MsgBoxTest, SystemCloseAnswersNoAndEnablesTheOwner) {
  RunAsUiThread([] {
    TestWindow* owner = TestWindow::Open(L"basic", L"basic.xml");
    ASSERT_NE(owner, nullptr);
    std::vector<MsgBoxRet> answers;
    OpenBox box = Open(owner->GetHWND(), &answers, kQuestion);
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_FALSE(::IsWindowEnabled(owner->GetHWND()));
    // What Alt+F4 turns into.
    ::SendMessageW(box.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(::IsWindowEnabled(owner->GetHWND()));
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(box.hwnd); }, 5000));
    uitest::PumpFor(50);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0], MsgBoxRet::No);
    ::DestroyWindow(owner->GetHWND());
  });
}

// A box whose window cannot be created leaves the owner enabled and never answers: callers
// tell an open box by their disabled window, and the next question still opens.
TEST(MsgBoxTest, BoxThatCannotBeCreatedLeavesTheOwnerEnabled) {
  RunAsUiThread([] {
    TestWindow* owner = TestWindow::Open(L"basic", L"basic.xml");
    ASSERT_NE(owner, nullptr);
    std::vector<MsgBoxRet> answers;
    // Cancels the creation of every window of the box's class.
    HHOOK refuse = ::SetWindowsHookExW(
        WH_CBT,
        [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
          if (code == HCBT_CREATEWND) {
            wchar_t name[32] = {};
            ::GetClassNameW(reinterpret_cast<HWND>(wParam), name, 32);
            if (std::wstring(name) == L"MsgBox") return 1;
          }
          return ::CallNextHookEx(nullptr, code, wParam, lParam);
        },
        nullptr, ::GetCurrentThreadId());
    ASSERT_NE(refuse, nullptr);
    OpenBox refused = Open(owner->GetHWND(), &answers, kQuestion);
    ::UnhookWindowsHookEx(refuse);
    EXPECT_EQ(refused.hwnd, nullptr);
    EXPECT_TRUE(::IsWindowEnabled(owner->GetHWND()));
    uitest::PumpFor(50);
    EXPECT_TRUE(answers.empty());

    OpenBox box = Open(owner->GetHWND(), &answers, kQuestion);
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_FALSE(::IsWindowEnabled(owner->GetHWND()));
    ::SendMessageW(box.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(box.hwnd); }, 5000));
    uitest::PumpFor(50);
    EXPECT_EQ(answers.size(), 1u);
    ::DestroyWindow(owner->GetHWND());
  });
}

TEST(MsgBoxTest, LongMessageMakesTheBoxTallerAtTheSameWidth) {
  RunAsUiThread([] {
    TestWindow* owner = TestWindow::Open(L"basic", L"basic.xml");
    ASSERT_NE(owner, nullptr);
    std::vector<MsgBoxRet> answers;
    SIZE sizes[2] = {};
    const std::wstring texts[2] = {
        L"短消息",
        L"建议尽快下载完整安装包安装 \"岚枢PDF转换器\" 确定退出吗？这是一段很长的说明文字，"
        L"它会在消息框里折成好几行，消息框因此变高，但宽度保持不变。再加一句，确保至少四行。"};
    for (int i = 0; i < 2; ++i) {
      OpenBox box = Open(owner->GetHWND(), &answers, texts[i]);
      ASSERT_NE(box.hwnd, nullptr);
      ASSERT_TRUE(PumpUntil([&] { return box.window->GetPaintStats().paints > 0; }));
      uitest::PumpFor(50);
      sizes[i] = WindowSize(box.hwnd);
      ::SendMessageW(box.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(box.hwnd); }, 5000));
    }
    const int width = ui::UiGlobal::GetDpiState().ScaleValue(340) +
                      2 * ui::UiGlobal::GetDpiState().ScaleValue(14);
    EXPECT_EQ(sizes[0].cx, width);
    EXPECT_EQ(sizes[1].cx, width);
    EXPECT_GT(sizes[1].cy, sizes[0].cy + ui::UiGlobal::GetDpiState().ScaleValue(30));
    ::DestroyWindow(owner->GetHWND());
  });
}

TEST(MsgBoxTest, EmptyYesTextHidesYesAndFocusesNo) {
  RunAsUiThread([] {
    TestWindow* owner = TestWindow::Open(L"basic", L"basic.xml");
    ASSERT_NE(owner, nullptr);
    std::vector<MsgBoxRet> answers;
    OpenBox box = Open(owner->GetHWND(), &answers, kQuestion, L"", L"下载完整安装包");
    ASSERT_NE(box.hwnd, nullptr);
    ui::Control* yes = box.window->FindNamedControl(L"btn_yes");
    ui::Control* no = box.window->FindNamedControl(L"btn_no");
    ASSERT_NE(yes, nullptr);
    ASSERT_NE(no, nullptr);
    EXPECT_FALSE(yes->IsVisible());
    EXPECT_TRUE(no->IsVisible());
    EXPECT_EQ(box.window->GetFocus(), no);
    ::SendMessageW(box.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(box.hwnd); }, 5000));
    ::DestroyWindow(owner->GetHWND());
  });
}

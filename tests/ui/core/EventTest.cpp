// Dispatch, bubbling, mouse states and check boxes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "ui/widgets/Button.h"
#include "ui/widgets/CheckBox.h"
#include "ui/layouts/VBox.h"

namespace {

using ui::EventArgs;
using ui::MakeRect;

const POINT kInside = {20, 15};
const POINT kOutside = {300, 300};

// A box holding one 100 x 30 button at the top left.
struct ButtonInBox {
  ButtonInBox() {
    button = new ui::Button();
    button->SetFixedWidth(100, false, false);
    button->SetFixedHeight(30, false, false);
    inner->Add(button);
    outer.Add(inner);
    outer.SetPos(MakeRect(0, 0, 200, 200));
  }
  void Press(const POINT& pt) { button->SendEvent(ui::kEventMouseButtonDown, 0, 0, 0, pt); }
  void Release(const POINT& pt) { button->SendEvent(ui::kEventMouseButtonUp, 0, 0, 0, pt); }

  ui::VBox outer;
  ui::VBox* inner = new ui::VBox();
  ui::Button* button = nullptr;
};

TEST(Click, PressAndReleaseInsideClicksOnceAndOutsideNot) {
  ButtonInBox ui;
  int clicks = 0;
  ui.button->AddClickHandler([&](const EventArgs& args) {
    EXPECT_EQ(ui::kEventClick, args.type);
    EXPECT_EQ(ui.button, args.sender);
    ++clicks;
    return true;
  });

  ui.Press(kInside);
  EXPECT_EQ(ui::kControlStatePushed, ui.button->GetState());
  EXPECT_TRUE(ui.button->IsMouseCaptured());
  ui.Release(kOutside);
  EXPECT_EQ(0, clicks);
  EXPECT_EQ(ui::kControlStateNormal, ui.button->GetState());
  EXPECT_FALSE(ui.button->IsMouseCaptured());

  ui.Press(kInside);
  ui.Release(kInside);
  EXPECT_EQ(1, clicks);
  EXPECT_EQ(ui::kControlStateHot, ui.button->GetState());

  // A release without a press (the capture went elsewhere) is no click.
  ui.Release(kInside);
  EXPECT_EQ(1, clicks);

  // Space and Return click a keyboard-enabled button.
  ui.button->SendEvent(ui::kEventKeyDown, VK_SPACE, 0, VK_SPACE, kInside);
  ui.button->SendEvent(ui::kEventKeyDown, VK_RETURN, 0, VK_RETURN, kInside);
  ui.button->SendEvent(ui::kEventKeyDown, 'A', 0, L'A', kInside);
  EXPECT_EQ(3, clicks);
  ui.button->SetKeyboardEnabled(false);
  ui.button->SendEvent(ui::kEventKeyDown, VK_SPACE, 0, VK_SPACE, kInside);
  EXPECT_EQ(3, clicks);
}

TEST(Click, HoverStatesFollowEnterAndLeave) {
  ButtonInBox ui;
  ui.button->SendEvent(ui::kEventMouseEnter, 0, 0, 0, kInside);
  EXPECT_EQ(ui::kControlStateHot, ui.button->GetState());
  ui.button->SendEvent(ui::kEventMouseLeave, 0, 0, 0, kOutside);
  EXPECT_EQ(ui::kControlStateNormal, ui.button->GetState());
  // Leaving while pushed keeps the press until release.
  ui.Press(kInside);
  ui.button->SendEvent(ui::kEventMouseLeave, 0, 0, 0, kOutside);
  EXPECT_EQ(ui::kControlStatePushed, ui.button->GetState());
}

TEST(Bubbling, ClickReachesEnclosingBoxesInOrderUnlessAHandlerStopsIt) {
  ButtonInBox ui;
  std::vector<std::wstring> order;
  ui.button->AddClickHandler([&](const EventArgs&) {
    order.push_back(L"button");
    return true;
  });
  ui.button->AddEventHandler(ui::kEventAll, [&](const EventArgs& args) {
    if (args.type == ui::kEventClick) order.push_back(L"button-all");
    return true;
  });
  ui.inner->AddBubbledHandler(ui::kEventClick, [&](const EventArgs& args) {
    EXPECT_EQ(ui.button, args.sender);
    order.push_back(L"inner");
    return true;
  });
  ui.outer.AddBubbledHandler(ui::kEventClick, [&](const EventArgs&) {
    order.push_back(L"outer");
    return true;
  });
  ui.Press(kInside);
  ui.Release(kInside);
  const std::vector<std::wstring> expected = {L"button", L"button-all", L"inner", L"outer"};
  EXPECT_EQ(expected, order);

  // A bubbled handler that says false keeps the click from the outer box.
  order.clear();
  ui.inner->AddBubbledHandler(ui::kEventClick, [&](const EventArgs&) {
    order.push_back(L"inner-stop");
    return false;
  });
  ui.Press(kInside);
  ui.Release(kInside);
  const std::vector<std::wstring> stopped = {L"button", L"button-all", L"inner", L"inner-stop"};
  EXPECT_EQ(stopped, order);
}

TEST(Bubbling, ClickHandlerReturningFalseStopsAtTheButton) {
  ButtonInBox ui;
  int second = 0;
  int bubbled = 0;
  ui.button->AddClickHandler([](const EventArgs&) { return false; });
  ui.button->AddClickHandler([&](const EventArgs&) {
    ++second;
    return true;
  });
  ui.inner->AddBubbledHandler(ui::kEventClick, [&](const EventArgs&) {
    ++bubbled;
    return true;
  });
  ui.outer.AddBubbledHandler(ui::kEventAll, [&](const EventArgs&) {
    ++bubbled;
    return true;
  });
  ui.Press(kInside);
  ui.Release(kInside);
  EXPECT_EQ(0, second);   // the list stops at the first false
  EXPECT_EQ(0, bubbled);  // and nothing bubbles
}

TEST(Dispatch, HandlerThatDestroysTheControlsEndsSafely) {
  ButtonInBox ui;
  int after = 0;
  int outerSeen = 0;
  ui.button->AddClickHandler([&](const EventArgs&) {
    ui.outer.RemoveAll();  // deletes the inner box and the button itself
    return true;
  });
  ui.button->AddClickHandler([&](const EventArgs&) {
    ++after;
    return true;
  });
  ui.outer.AddBubbledHandler(ui::kEventClick, [&](const EventArgs&) {
    ++outerSeen;
    return true;
  });
  ui.Press(kInside);
  ui.Release(kInside);
  EXPECT_EQ(0, after);
  EXPECT_EQ(0, outerSeen);
  EXPECT_EQ(0, ui.outer.GetCount());

  // A bubbled handler that removes the sender ends the dispatch too.
  ButtonInBox again;
  int outerAfter = 0;
  again.inner->AddBubbledHandler(ui::kEventClick, [&](const EventArgs&) {
    again.outer.RemoveAll();
    return true;
  });
  again.outer.AddBubbledHandler(ui::kEventClick, [&](const EventArgs&) {
    ++outerAfter;
    return true;
  });
  again.Press(kInside);
  again.Release(kInside);
  EXPECT_EQ(0, outerAfter);
  EXPECT_EQ(0, again.outer.GetCount());
}

TEST(CheckBoxEvents, ClicksToggleAndRaiseSelectThenUnselect) {
  ui::VBox box;
  auto* check = new ui::CheckBox();
  check->SetFixedWidth(100, false, false);
  check->SetFixedHeight(16, false, false);
  box.Add(check);
  box.SetPos(MakeRect(0, 0, 200, 100));
  std::vector<ui::EventCode> seen;
  int clicks = 0;
  check->AddSelectHandler([&](const EventArgs& args) {
    seen.push_back(args.type);
    return true;
  });
  check->AddUnselectHandler([&](const EventArgs& args) {
    seen.push_back(args.type);
    return true;
  });
  check->AddClickHandler([&](const EventArgs&) {
    ++clicks;
    return true;
  });
  const POINT inside = {10, 8};
  check->SendEvent(ui::kEventMouseButtonDown, 0, 0, 0, inside);
  check->SendEvent(ui::kEventMouseButtonUp, 0, 0, 0, inside);
  EXPECT_TRUE(check->IsSelected());
  check->SendEvent(ui::kEventMouseButtonDown, 0, 0, 0, inside);
  check->SendEvent(ui::kEventMouseButtonUp, 0, 0, 0, inside);
  EXPECT_FALSE(check->IsSelected());
  const std::vector<ui::EventCode> expected = {ui::kEventSelect, ui::kEventUnSelect};
  EXPECT_EQ(expected, seen);
  EXPECT_EQ(0, clicks);  // a check box raises no click

  // Setting the same value does nothing; events only when asked for.
  seen.clear();
  check->SetSelected(false, true);
  check->SetSelected(true, false);
  EXPECT_TRUE(seen.empty());
  check->SetSelected(false, true);
  ASSERT_EQ(1u, seen.size());
  EXPECT_EQ(ui::kEventUnSelect, seen[0]);

  // The "selected" attribute goes through the setter with events.
  seen.clear();
  check->ApplyAttribute(L"selected", L"true");
  EXPECT_TRUE(check->IsSelected());
  EXPECT_EQ(std::vector<ui::EventCode>{ui::kEventSelect}, seen);
}

TEST(Disabled, DisabledControlsIgnoreTheMouse) {
  ButtonInBox ui;
  int clicks = 0;
  ui.button->AddClickHandler([&](const EventArgs&) {
    ++clicks;
    return true;
  });
  ui.button->SetEnabled(false);
  EXPECT_EQ(ui::kControlStateDisabled, ui.button->GetState());
  ui.button->SendEvent(ui::kEventMouseEnter, 0, 0, 0, kInside);
  EXPECT_EQ(ui::kControlStateDisabled, ui.button->GetState());
  ui.Press(kInside);
  EXPECT_FALSE(ui.button->IsMouseCaptured());
  ui.Release(kInside);
  ui.button->SendEvent(ui::kEventKeyDown, VK_SPACE, 0, VK_SPACE, kInside);
  EXPECT_EQ(0, clicks);

  // Disabled while pushed: the release clicks nothing.
  ui.button->SetEnabled(true);
  ui.Press(kInside);
  ui.button->SetEnabled(false);
  ui.Release(kInside);
  EXPECT_EQ(0, clicks);

  auto check = std::make_unique<ui::CheckBox>();
  check->SetPos(MakeRect(0, 0, 50, 16));
  check->SetEnabled(false);
  check->SendEvent(ui::kEventMouseButtonDown, 0, 0, 0, kInside);
  check->SendEvent(ui::kEventMouseButtonUp, 0, 0, 0, kInside);
  EXPECT_FALSE(check->IsSelected());
}

TEST(Dispatch, MouseEventsOfAControlWithoutMouseGoToItsParent) {
  ButtonInBox ui;
  ui.button->SetMouseEnabled(false);
  ui.button->SendEvent(ui::kEventMouseButtonDown, 0, 0, 0, kInside);
  EXPECT_EQ(ui::kControlStateNormal, ui.button->GetState());
  EXPECT_EQ(ui::kControlStatePushed, ui.inner->GetState());
  ui.button->SendEvent(ui::kEventMouseButtonUp, 0, 0, 0, kInside);
  EXPECT_EQ(ui::kControlStateHot, ui.inner->GetState());
}

TEST(EventNames, NamesOfEventElements) {
  EXPECT_EQ(ui::kEventMouseEnter, ui::EventCodeFromName(L"mouseenter"));
  EXPECT_EQ(ui::kEventAll, ui::EventCodeFromName(L"all"));
  EXPECT_EQ(ui::kEventWindowClose, ui::EventCodeFromName(L"windowclose"));
  EXPECT_EQ(ui::kEventMouseRightButtonDown, ui::EventCodeFromName(L"rbuttondown"));
  EXPECT_EQ(ui::kEventNone, ui::EventCodeFromName(L"MouseEnter"));
  EXPECT_EQ(ui::kEventNone, ui::EventCodeFromName(L""));
}

}  // namespace

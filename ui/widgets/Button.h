// A label that can be clicked: a press and a release inside it raises click
// (41); Space or Return does the same when it takes the keyboard.
#pragma once

#include "ui/widgets/Label.h"

namespace ui {

template <typename InheritType = Control>
class ButtonTemplate : public LabelTemplate<InheritType> {
 public:
  ButtonTemplate() {
    this->textStyle_ = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP;
  }

  std::wstring GetType() const override { return L"Button"; }
  long GetAccessibleRole() const override { return ROLE_SYSTEM_PUSHBUTTON; }
  std::wstring GetDefaultActionName() const override { return L"Press"; }
  bool IsCaptionClient() const override { return true; }

 protected:
  bool AcceptsKeyboardFocus() const override { return true; }

  void Activate() override {
    // A button on a hidden page or inside a disabled box does nothing.
    if (!this->IsLive()) return;
    this->SendEvent(kEventClick);
  }

  void DefaultHandleEvent(EventArgs& args) override {
    if (args.type == kEventKeyDown && this->IsKeyboardEnabled() &&
        (args.chKey == VK_SPACE || args.chKey == VK_RETURN || args.wParam == VK_SPACE ||
         args.wParam == VK_RETURN)) {
      Activate();
      return;
    }
    LabelTemplate<InheritType>::DefaultHandleEvent(args);
  }
};

using Button = ButtonTemplate<Control>;
using ButtonBox = ButtonTemplate<Box>;

}  // namespace ui

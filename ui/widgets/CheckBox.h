// A button with a check state: a completed click toggles it and raises select
// (42) or unselect (43); while checked it draws with its selected colours and
// images.
#pragma once

#include "ui/widgets/Button.h"

namespace ui {

template <typename InheritType = Control>
class CheckBoxTemplate : public ButtonTemplate<InheritType> {
 public:
  std::wstring GetType() const override { return L"CheckBox"; }

  bool IsSelected() const { return selected_; }
  // Setting the same value again does nothing.
  virtual void SetSelected(bool selected, bool triggerEvent = false) {
    if (selected == selected_) return;
    selected_ = selected;
    this->InvalidateEstimate();
    this->Invalidate();
    this->NotifyAccessible(EVENT_OBJECT_STATECHANGE);
    // Last: a handler may destroy this control.
    if (triggerEvent) this->SendEvent(selected ? kEventSelect : kEventUnSelect);
  }

  long GetAccessibleRole() const override { return ROLE_SYSTEM_CHECKBUTTON; }
  long GetAccessibleStates() const override { return selected_ ? STATE_SYSTEM_CHECKED : 0; }
  std::wstring GetDefaultActionName() const override { return selected_ ? L"Uncheck" : L"Check"; }

  void SetSelectedStateImage(ControlStateType state, const std::wstring& imageString) {
    selectedImages_[state].SetImageString(imageString);
    this->InvalidateEstimate();
    this->ArrangeSelf();
  }
  void SetSelectedForeStateImage(ControlStateType state, const std::wstring& imageString) {
    selectedForeImages_[state].SetImageString(imageString);
    this->Invalidate();
  }
  void SetSelectedTextColour(const std::wstring& colour) {
    selectedTextColour_ = colour;
    this->Invalidate();
  }
  void SetSelectedStateColour(ControlStateType state, const std::wstring& colour) {
    selectedStateColours_[state] = colour;
    this->Invalidate();
  }

  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override {
    static const wchar_t* const kStates[4] = {L"normal", L"hot", L"pushed", L"disabled"};
    if (name == L"selected") {
      SetSelected(ParseBool(value), true);
      return true;
    }
    if (name == L"selectedtextcolor") {
      SetSelectedTextColour(value);
      return true;
    }
    for (int i = 0; i < 4; ++i) {
      const ControlStateType state = static_cast<ControlStateType>(i);
      const std::wstring stateName = kStates[i];
      if (name == L"selected" + stateName + L"image") {
        SetSelectedStateImage(state, value);
        return true;
      }
      if (name == L"selectedfore" + stateName + L"image") {
        SetSelectedForeStateImage(state, value);
        return true;
      }
      if (name == L"selected" + stateName + L"color") {
        SetSelectedStateColour(state, value);
        return true;
      }
    }
    return ButtonTemplate<InheritType>::ApplyAttribute(name, value);
  }

 protected:
  void Activate() override {
    if (!this->IsLive()) return;
    SetSelected(!selected_, true);
  }

  Image* GetSizingImage() override {
    if (!this->GetBkImageSlot().IsEmpty()) return &this->GetBkImageSlot();
    if (selected_ && !selectedImages_[kControlStateNormal].IsEmpty()) {
      return &selectedImages_[kControlStateNormal];
    }
    Image& normal = this->GetStateImageSlot(kControlStateNormal);
    return normal.IsEmpty() ? nullptr : &normal;
  }

  void PaintStatusColor(IRenderContext* context) override {
    if (selected_) {
      const ControlStateType state = this->GetPaintState();
      const DWORD colour = Control::ResolveColour(selectedStateColours_[state]);
      if ((colour >> 24) != 0) {
        context->FillRect(this->GetPos(), colour);
        return;
      }
    }
    ButtonTemplate<InheritType>::PaintStatusColor(context);
  }

  void PaintStatusImage(IRenderContext* context) override {
    if (!selected_) {
      ButtonTemplate<InheritType>::PaintStatusImage(context);
      return;
    }
    const ControlStateType state = this->GetPaintState();
    // Selected images first; where none is set, the unselected ones.
    if (!this->DrawStateImage(context, selectedImages_, state))
      this->DrawStateImage(context, this->StateImages(), state);
    if (!this->DrawStateImage(context, selectedForeImages_, state))
      this->DrawStateImage(context, this->ForeStateImages(), state);
  }

  std::wstring GetPaintTextColour() const override {
    if (selected_ && !selectedTextColour_.empty()) return selectedTextColour_;
    return ButtonTemplate<InheritType>::GetPaintTextColour();
  }

 private:
  bool selected_ = false;
  Control::StateImageSet selectedImages_;
  Control::StateImageSet selectedForeImages_;
  std::wstring selectedTextColour_;
  std::wstring selectedStateColours_[4];
};

using CheckBox = CheckBoxTemplate<Control>;
using CheckBoxBox = CheckBoxTemplate<Box>;

}  // namespace ui

// Text on a control: the Label element, and the base of buttons, check boxes
// and progress bars. A template so that the same text behaviour exists over
// Control and over Box.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <string>

#include "ui/core/Box.h"
#include "ui/core/Control.h"
#include "ui/core/TextMeasure.h"
#include "ui/draw/IRenderContext.h"
#include "ui/misc/AttributeValues.h"
#include "ui/widgets/TextDefaults.h"

namespace ui {

template <typename InheritType = Control>
class LabelTemplate : public InheritType {
 public:
  LabelTemplate() {
    this->SetFixedWidth(kLengthAuto, false, false);
    this->SetFixedHeight(kLengthAuto, false, false);
    textColours_[kControlStateNormal] = DefaultTextColour();
    textColours_[kControlStateDisabled] = DefaultDisabledTextColour();
  }

  std::wstring GetType() const override { return L"Label"; }

  const std::wstring& GetText() const { return text_; }
  // The same text again changes nothing; a new one repaints, and re-runs the
  // layout when the control sizes itself to its text.
  virtual void SetText(const std::wstring& text) {
    if (text == text_) return;
    text_ = text;
    this->InvalidateEstimate();
    this->ArrangeSelf();
    this->NotifyAccessible(EVENT_OBJECT_NAMECHANGE);
  }

  long GetAccessibleRole() const override { return ROLE_SYSTEM_STATICTEXT; }
  // The layout's "accname" where it gives one (an image-only button), else the text.
  std::wstring GetAccessibleName() const override {
    const std::wstring name = Control::GetAccessibleName();
    return name.empty() ? text_ : name;
  }
  void SetTextId(const std::wstring& id) {
    textId_ = id;
    SetText(LanguageText(id));
  }

  int GetFont() const { return font_; }
  void SetFont(int font) {
    font_ = font;
    this->InvalidateEstimate();
    this->ArrangeSelf();
  }
  UINT GetTextStyle() const { return textStyle_; }
  void SetTextStyle(UINT style) {
    textStyle_ = style;
    this->InvalidateEstimate();
    this->Invalidate();
  }
  const RECT& GetTextPadding() const { return textPadding_; }
  void SetTextPadding(RECT padding, bool scale = true) {
    if (scale) padding = ScaledPadding(padding);
    textPadding_ = padding;
    this->InvalidateEstimate();
    this->ArrangeSelf();
  }
  const std::wstring& GetStateTextColour(ControlStateType state) const {
    return textColours_[state];
  }
  void SetStateTextColour(ControlStateType state, const std::wstring& colour) {
    textColours_[state] = colour;
    this->Invalidate();
  }

  // The font handle text is drawn with (see Control::GetFontHandle).
  HFONT GetFontHandle() const { return Control::GetFontHandle(font_); }

  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override {
    if (name == L"text") {
      SetText(value);
    } else if (name == L"textid") {
      SetTextId(value);
    } else if (name == L"font") {
      SetFont(ParseInt(value));
    } else if (name == L"normaltextcolor") {
      SetStateTextColour(kControlStateNormal, value);
    } else if (name == L"hottextcolor") {
      SetStateTextColour(kControlStateHot, value);
    } else if (name == L"pushedtextcolor") {
      SetStateTextColour(kControlStatePushed, value);
    } else if (name == L"disabledtextcolor") {
      SetStateTextColour(kControlStateDisabled, value);
    } else if (name == L"textpadding") {
      SetTextPadding(ParseRect(value), true);
    } else if (name == L"align") {
      UINT style = textStyle_;
      if (value.find(L"left") != std::wstring::npos) {
        style = (style & ~(DT_CENTER | DT_RIGHT)) | DT_LEFT;
      }
      if (value.find(L"center") != std::wstring::npos) {
        style = (style & ~(DT_LEFT | DT_RIGHT)) | DT_CENTER;
      }
      if (value.find(L"right") != std::wstring::npos) {
        style = (style & ~(DT_LEFT | DT_CENTER)) | DT_RIGHT;
      }
      if (value.find(L"top") != std::wstring::npos) {
        style = (style & ~(DT_BOTTOM | DT_VCENTER)) | DT_TOP;
      }
      if (value.find(L"vcenter") != std::wstring::npos) {
        style = (style & ~(DT_TOP | DT_BOTTOM)) | DT_VCENTER;
      }
      if (value.find(L"bottom") != std::wstring::npos) {
        style = (style & ~(DT_TOP | DT_VCENTER)) | DT_BOTTOM;
      }
      SetTextStyle(style);
    } else if (name == L"endellipsis") {
      SetTextStyle(ParseBool(value) ? (textStyle_ | DT_END_ELLIPSIS)
                                    : (textStyle_ & ~DT_END_ELLIPSIS));
    } else if (name == L"singleline") {
      SetTextStyle(ParseBool(value) ? (textStyle_ | DT_SINGLELINE) : (textStyle_ & ~DT_SINGLELINE));
    } else if (name == L"linelimit") {
      lineLimit_ = ParseBool(value);
    } else {
      return InheritType::ApplyAttribute(name, value);
    }
    return true;
  }

  SIZE EstimateSize(SIZE available) override {
    SIZE size = MakeSize(this->GetFixedWidth(), this->GetFixedHeight());
    if (size.cx != kLengthAuto && size.cy != kLengthAuto) return size;
    SIZE cached;
    if (this->GetCachedEstimate(available, &cached)) return cached;

    SIZE image = {0, 0};
    bool fixedByImage = false;
    const bool hasImage = this->EstimateImageSize(&image, &fixedByImage);
    if (hasImage && fixedByImage) {
      this->SetCachedEstimate(available, image);
      return image;
    }
    const SIZE text = MeasureOwnText(available);
    const int padX = textPadding_.left + textPadding_.right;
    const int padY = textPadding_.top + textPadding_.bottom;
    if (size.cx == kLengthAuto) size.cx = std::max<LONG>(image.cx, text.cx + padX);
    if (size.cy == kLengthAuto) size.cy = std::max<LONG>(image.cy, text.cy + padY);
    this->SetCachedEstimate(available, size);
    return size;
  }

 protected:
  SIZE MeasureOwnText(SIZE available) {
    SIZE text = {0, 0};
    if (text_.empty()) return text;
    const int padX = textPadding_.left + textPadding_.right;
    const int fixedWidth = this->GetFixedWidth();
    const int limit = fixedWidth > 0 ? std::max(0, fixedWidth - padX) : -1;
    text = MeasureText(text_, GetFontHandle(), textStyle_, limit);
    const bool multiLine = (textStyle_ & DT_SINGLELINE) == 0;
    if (multiLine && fixedWidth == kLengthAuto && this->GetMaxWidth() == kMaxLength &&
        available.cx > 0 && text.cx + padX > available.cx) {
      // Wider than offered: wrap at the offered width.
      text = MeasureText(text_, GetFontHandle(), textStyle_, std::max(1, int(available.cx) - padX));
    }
    return text;
  }

  // The colour name text is drawn with in the current state.
  virtual std::wstring GetPaintTextColour() const {
    const ControlStateType state = this->GetPaintState();
    std::wstring colour = textColours_[state];
    if (colour.empty() && state == kControlStatePushed) colour = textColours_[kControlStateHot];
    if (colour.empty()) colour = textColours_[kControlStateNormal];
    return colour;
  }

  RECT GetFocusCueRect() const override {
    const RECT pos = this->GetPos();
    const RECT text = DeflateRect(pos, textPadding_);
    if (text_.empty() || text.right > text.left || !(textStyle_ & DT_NOCLIP))
      return Control::GetFocusCueRect();
    // Sized to its image with the text running on to the right: around both.
    RECT area = pos;
    const LONG textRight = text.left + MeasureText(text_, GetFontHandle(), textStyle_, -1).cx;
    area.right = std::max(pos.right, textRight);
    return this->FocusCueAround(area);
  }

  void PaintText(IRenderContext* context) override {
    if (text_.empty()) return;
    RECT rc = DeflateRect(this->GetPos(), textPadding_);
    const DWORD colour = Control::ResolveColour(GetPaintTextColour());
    if ((colour >> 24) == 0) return;
    if (rc.right <= rc.left && (textStyle_ & DT_NOCLIP)) {
      // Sized to its image (a check box's 16-pixel box): the text runs on to the right.
      rc.right = rc.left + MeasureText(text_, GetFontHandle(), textStyle_, -1).cx;
    }
    context->DrawText(rc, text_, colour, GetFontHandle(), textStyle_);
  }

  std::wstring text_;
  std::wstring textId_;
  int font_ = 1;
  std::wstring textColours_[4];
  RECT textPadding_ = {0, 0, 0, 0};
  UINT textStyle_ = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP;
  bool lineLimit_ = false;
};

using Label = LabelTemplate<Control>;
using LabelBox = LabelTemplate<Box>;

}  // namespace ui

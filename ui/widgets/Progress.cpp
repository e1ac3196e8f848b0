#include "ui/widgets/Progress.h"

#include <algorithm>
#include <string>

#include "base/StringUtil.h"

namespace ui {

bool Progress::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"hor") {
    SetHorizontal(ParseBool(value));
  } else if (name == L"min") {
    SetMinValue(ParseInt(value));
  } else if (name == L"max") {
    SetMaxValue(ParseInt(value));
  } else if (name == L"value") {
    SetValue(ParseInt(value));
  } else if (name == L"progressimage") {
    SetProgressImage(value);
  } else if (name == L"isstretchfore") {
    SetStretchForeImage(ParseBool(value));
  } else if (name == L"progresscolor") {
    SetProgressColour(value);
  } else {
    return LabelTemplate<Control>::ApplyAttribute(name, value);
  }
  return true;
}

void Progress::SetHorizontal(bool horizontal) {
  if (horizontal_ == horizontal) return;
  horizontal_ = horizontal;
  Invalidate();
}

void Progress::SetMinValue(int value) {
  min_ = value;
  Invalidate();
}

void Progress::SetMaxValue(int value) {
  max_ = value;
  Invalidate();
}

void Progress::SetValue(double value) {
  if (value == value_) return;
  const int before = GetPercent();
  value_ = value;
  Invalidate();
  if (GetPercent() != before) NotifyAccessible(EVENT_OBJECT_VALUECHANGE);
}

int Progress::GetPercent() const {
  const double span = max_ > min_ ? max_ - min_ : 1;
  const double clamped = std::min<double>(std::max<double>(value_, min_), max_);
  return static_cast<int>((clamped - min_) * 100 / span);
}

std::wstring Progress::GetAccessibleValue() const { return std::to_wstring(GetPercent()) + L"%"; }

void Progress::SetStretchForeImage(bool stretch) {
  stretchFore_ = stretch;
  Invalidate();
}

void Progress::SetProgressImage(const std::wstring& imageString) {
  progressImage_.SetImageString(imageString);
  Invalidate();
}

void Progress::SetProgressColour(const std::wstring& colour) {
  progressColour_ = colour;
  Invalidate();
}

RECT Progress::GetProgressPos() const {
  const int low = min_;
  const int high = max_ <= min_ ? min_ + 1 : max_;
  double value = value_;
  if (value < low) value = low;
  if (value > high) value = high;
  const RECT& pos = GetPos();
  const double width = RectWidth(pos);
  const double height = RectHeight(pos);
  const double range = static_cast<double>(high) - low;
  if (horizontal_) {
    return MakeRect(0, 0, static_cast<int>(width * (value - low) / range),
                    static_cast<int>(height));
  }
  return MakeRect(0, static_cast<int>(height * (high - value) / range), static_cast<int>(width),
                  static_cast<int>(height));
}

void Progress::PaintStatusImage(IRenderContext* context) {
  LabelTemplate<Control>::PaintStatusImage(context);
  const RECT filled = GetProgressPos();
  if (RectWidth(filled) <= 0 || RectHeight(filled) <= 0) return;
  const RECT& pos = GetPos();
  const DWORD colour = ResolveColour(progressColour_);
  if ((colour >> 24) != 0) {
    context->FillRect(MakeRect(pos.left + filled.left, pos.top + filled.top,
                               pos.left + filled.right, pos.top + filled.bottom),
                      colour);
  }
  if (progressImage_.IsEmpty()) return;
  std::wstring modifier;
  if (stretchFore_) {
    modifier = nbase::FormatWideString(L"destscale='false' dest='%d,%d,%d,%d'", filled.left,
                                       filled.top, filled.right, filled.bottom);
  } else {
    modifier = nbase::FormatWideString(L"destscale='false' dest='%d,%d,%d,%d' source='%d,%d,%d,%d'",
                                       filled.left, filled.top, filled.right, filled.bottom,
                                       filled.left, filled.top, filled.right, filled.bottom);
  }
  DrawImage(context, progressImage_, modifier);
}

}  // namespace ui

#include "ui/misc/DpiState.h"

#include "base/DisplayDpi.h"

namespace ui {

void DpiState::InitAwareness() {
  if (!aware_) aware_ = nbase::MakeProcessDpiAware();
}

void DpiState::InitScaleFromMonitor() {
  const int dpi = nbase::GetMonitorDpi();
  if (aware_) SetScaleFromDpi(dpi);
}

void DpiState::SetScaleFromDpi(int dpi) { scale_ = ::MulDiv(dpi, 100, 96); }

int DpiState::ScaleValue(int value) const {
  if (!aware_ || scale_ == 100) return value;
  return ::MulDiv(value, scale_, 100);
}

void DpiState::ScaleRect(RECT* rect) const {
  rect->left = ScaleValue(rect->left);
  rect->top = ScaleValue(rect->top);
  rect->right = ScaleValue(rect->right);
  rect->bottom = ScaleValue(rect->bottom);
}

void DpiState::ScaleSize(SIZE* size) const {
  size->cx = ScaleValue(size->cx);
  size->cy = ScaleValue(size->cy);
}

}  // namespace ui

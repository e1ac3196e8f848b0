#include "ui/draw/gdiplus/Pen_GdiPlus.h"

namespace ui {

Pen_GdiPlus::Pen_GdiPlus(DWORD argb, int width)
    : pen_(std::make_unique<Gdiplus::Pen>(Gdiplus::Color(argb), static_cast<Gdiplus::REAL>(width))),
      color_(argb),
      width_(width) {}

void Pen_GdiPlus::SetWidth(int width) {
  width_ = width;
  pen_->SetWidth(static_cast<Gdiplus::REAL>(width));
}

void Pen_GdiPlus::SetColor(DWORD argb) {
  color_ = argb;
  pen_->SetColor(Gdiplus::Color(argb));
}

void Pen_GdiPlus::SetDashStyle(DashStyle style) {
  dash_ = style;
  switch (style) {
    case DashStyle::kDash:
      pen_->SetDashStyle(Gdiplus::DashStyleDash);
      break;
    case DashStyle::kDot:
      pen_->SetDashStyle(Gdiplus::DashStyleDot);
      break;
    case DashStyle::kDashDot:
      pen_->SetDashStyle(Gdiplus::DashStyleDashDot);
      break;
    case DashStyle::kSolid:
    default:
      pen_->SetDashStyle(Gdiplus::DashStyleSolid);
      break;
  }
}

}  // namespace ui

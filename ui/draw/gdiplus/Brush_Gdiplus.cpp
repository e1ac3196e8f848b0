#include "ui/draw/gdiplus/Brush_Gdiplus.h"

namespace ui {

Brush_Gdiplus::Brush_Gdiplus(DWORD argb)
    : brush_(std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(argb))), color_(argb) {}

void Brush_Gdiplus::SetColor(DWORD argb) {
  color_ = argb;
  brush_->SetColor(Gdiplus::Color(argb));
}

}  // namespace ui

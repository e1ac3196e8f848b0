#include "ui/draw/gdiplus/Path_Gdiplus.h"

#include <cmath>
#include <vector>

#include "ui/draw/gdiplus/Matrix_Gdiplus.h"

namespace ui {

Path_Gdiplus::Path_Gdiplus() : path_(std::make_unique<Gdiplus::GraphicsPath>()) {}

void Path_Gdiplus::Reset() { path_->Reset(); }

void Path_Gdiplus::StartFigure() { path_->StartFigure(); }

void Path_Gdiplus::CloseFigure() { path_->CloseFigure(); }

void Path_Gdiplus::AddLine(int x1, int y1, int x2, int y2) { path_->AddLine(x1, y1, x2, y2); }

void Path_Gdiplus::AddRect(const RECT& rect) {
  path_->AddRectangle(
      Gdiplus::Rect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top));
}

void Path_Gdiplus::AddRoundRect(const RECT& rect, int roundWidth, int roundHeight) {
  const int w = rect.right - rect.left;
  const int h = rect.bottom - rect.top;
  const int rw = roundWidth < w ? roundWidth : w;
  const int rh = roundHeight < h ? roundHeight : h;
  if (rw <= 0 || rh <= 0) {
    AddRect(rect);
    return;
  }
  path_->StartFigure();
  path_->AddArc(rect.left, rect.top, rw, rh, 180, 90);
  path_->AddArc(rect.right - rw, rect.top, rw, rh, 270, 90);
  path_->AddArc(rect.right - rw, rect.bottom - rh, rw, rh, 0, 90);
  path_->AddArc(rect.left, rect.bottom - rh, rw, rh, 90, 90);
  path_->CloseFigure();
}

void Path_Gdiplus::AddEllipse(const RECT& rect) {
  path_->AddEllipse(
      Gdiplus::Rect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top));
}

void Path_Gdiplus::AddArc(const RECT& rect, float startAngle, float sweepAngle) {
  path_->AddArc(Gdiplus::Rect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top),
                startAngle, sweepAngle);
}

void Path_Gdiplus::AddPolygon(const POINT* points, int count) {
  if (!points || count < 2) return;
  std::vector<Gdiplus::Point> converted;
  converted.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) converted.emplace_back(points[i].x, points[i].y);
  path_->AddPolygon(converted.data(), count);
}

void Path_Gdiplus::Transform(const IMatrix& matrix) {
  const auto* gdip = dynamic_cast<const Matrix_Gdiplus*>(&matrix);
  if (gdip) path_->Transform(gdip->GetMatrix());
}

RECT Path_Gdiplus::GetBounds() const {
  Gdiplus::RectF bounds;
  path_->GetBounds(&bounds);
  RECT rect = {static_cast<LONG>(std::floor(bounds.X)), static_cast<LONG>(std::floor(bounds.Y)),
               static_cast<LONG>(std::ceil(bounds.X + bounds.Width)),
               static_cast<LONG>(std::ceil(bounds.Y + bounds.Height))};
  return rect;
}

}  // namespace ui

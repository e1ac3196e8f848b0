#include "ui/draw/gdiplus/Matrix_Gdiplus.h"

namespace ui {

Matrix_Gdiplus::Matrix_Gdiplus() : matrix_(std::make_unique<Gdiplus::Matrix>()) {}

void Matrix_Gdiplus::Translate(int dx, int dy) {
  matrix_->Translate(static_cast<Gdiplus::REAL>(dx), static_cast<Gdiplus::REAL>(dy));
}

void Matrix_Gdiplus::Scale(float sx, float sy) { matrix_->Scale(sx, sy); }

void Matrix_Gdiplus::Rotate(float degrees) { matrix_->Rotate(degrees); }

void Matrix_Gdiplus::RotateAt(float degrees, const POINT& center) {
  matrix_->RotateAt(degrees, Gdiplus::PointF(static_cast<Gdiplus::REAL>(center.x),
                                             static_cast<Gdiplus::REAL>(center.y)));
}

void Matrix_Gdiplus::Reset() { matrix_->Reset(); }

}  // namespace ui

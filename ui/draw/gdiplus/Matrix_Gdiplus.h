// IMatrix over a GDI+ matrix.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <memory>

#include "ui/draw/IMatrix.h"

namespace ui {

class Matrix_Gdiplus : public IMatrix {
 public:
  Matrix_Gdiplus();
  ~Matrix_Gdiplus() override = default;
  Matrix_Gdiplus(const Matrix_Gdiplus&) = delete;
  Matrix_Gdiplus& operator=(const Matrix_Gdiplus&) = delete;

  void Translate(int dx, int dy) override;
  void Scale(float sx, float sy) override;
  void Rotate(float degrees) override;
  void RotateAt(float degrees, const POINT& center) override;
  void Reset() override;

  Gdiplus::Matrix* GetMatrix() const { return matrix_.get(); }

 private:
  std::unique_ptr<Gdiplus::Matrix> matrix_;
};

}  // namespace ui

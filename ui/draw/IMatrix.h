// A 2-D affine transform applied to paths.
#pragma once

#include <windows.h>

namespace ui {

class IMatrix {
 public:
  virtual ~IMatrix() = default;

  virtual void Translate(int dx, int dy) = 0;
  virtual void Scale(float sx, float sy) = 0;
  virtual void Rotate(float degrees) = 0;
  virtual void RotateAt(float degrees, const POINT& center) = 0;
  virtual void Reset() = 0;
};

}  // namespace ui

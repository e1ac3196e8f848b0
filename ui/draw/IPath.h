// A figure of lines, rectangles, arcs and ellipses, stroked with an IPen or filled with an IBrush.
#pragma once

#include <windows.h>

namespace ui {

class IMatrix;

class IPath {
 public:
  virtual ~IPath() = default;

  virtual void Reset() = 0;
  virtual void StartFigure() = 0;
  virtual void CloseFigure() = 0;

  virtual void AddLine(int x1, int y1, int x2, int y2) = 0;
  virtual void AddRect(const RECT& rect) = 0;
  virtual void AddRoundRect(const RECT& rect, int roundWidth, int roundHeight) = 0;
  virtual void AddEllipse(const RECT& rect) = 0;
  // Angles in degrees, clockwise from the positive x axis.
  virtual void AddArc(const RECT& rect, float startAngle, float sweepAngle) = 0;
  virtual void AddPolygon(const POINT* points, int count) = 0;

  virtual void Transform(const IMatrix& matrix) = 0;
  virtual RECT GetBounds() const = 0;
};

}  // namespace ui

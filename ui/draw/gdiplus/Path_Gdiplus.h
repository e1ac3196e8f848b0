// IPath over a GDI+ graphics path.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <memory>

#include "ui/draw/IPath.h"

namespace ui {

class Path_Gdiplus : public IPath {
 public:
  Path_Gdiplus();
  ~Path_Gdiplus() override = default;
  Path_Gdiplus(const Path_Gdiplus&) = delete;
  Path_Gdiplus& operator=(const Path_Gdiplus&) = delete;

  void Reset() override;
  void StartFigure() override;
  void CloseFigure() override;

  void AddLine(int x1, int y1, int x2, int y2) override;
  void AddRect(const RECT& rect) override;
  void AddRoundRect(const RECT& rect, int roundWidth, int roundHeight) override;
  void AddEllipse(const RECT& rect) override;
  void AddArc(const RECT& rect, float startAngle, float sweepAngle) override;
  void AddPolygon(const POINT* points, int count) override;

  void Transform(const IMatrix& matrix) override;
  RECT GetBounds() const override;

  Gdiplus::GraphicsPath* GetPath() const { return path_.get(); }

 private:
  std::unique_ptr<Gdiplus::GraphicsPath> path_;
};

}  // namespace ui

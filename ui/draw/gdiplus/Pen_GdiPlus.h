// IPen over a GDI+ pen.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <memory>

#include "ui/draw/IPen.h"

namespace ui {

class Pen_GdiPlus : public IPen {
 public:
  Pen_GdiPlus(DWORD argb, int width);
  ~Pen_GdiPlus() override = default;
  Pen_GdiPlus(const Pen_GdiPlus&) = delete;
  Pen_GdiPlus& operator=(const Pen_GdiPlus&) = delete;

  void SetWidth(int width) override;
  int GetWidth() const override { return width_; }
  void SetColor(DWORD argb) override;
  DWORD GetColor() const override { return color_; }
  void SetDashStyle(DashStyle style) override;
  DashStyle GetDashStyle() const override { return dash_; }

  Gdiplus::Pen* GetPen() const { return pen_.get(); }

 private:
  std::unique_ptr<Gdiplus::Pen> pen_;
  DWORD color_;
  int width_;
  DashStyle dash_ = DashStyle::kSolid;
};

}  // namespace ui

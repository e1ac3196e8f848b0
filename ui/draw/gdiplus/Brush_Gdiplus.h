// IBrush over a GDI+ solid brush.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <memory>

#include "ui/draw/IBrush.h"

namespace ui {

class Brush_Gdiplus : public IBrush {
 public:
  explicit Brush_Gdiplus(DWORD argb);
  ~Brush_Gdiplus() override = default;
  Brush_Gdiplus(const Brush_Gdiplus&) = delete;
  Brush_Gdiplus& operator=(const Brush_Gdiplus&) = delete;

  void SetColor(DWORD argb) override;
  DWORD GetColor() const override { return color_; }

  Gdiplus::Brush* GetBrush() const { return brush_.get(); }

 private:
  std::unique_ptr<Gdiplus::SolidBrush> brush_;
  DWORD color_;
};

}  // namespace ui

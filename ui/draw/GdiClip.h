// IClip over a GDI region, kept in device pixels.
#pragma once

#include <windows.h>

#include "base/ScopedHandle.h"
#include "ui/draw/IClip.h"

namespace ui {

class GdiClip : public IClip {
 public:
  GdiClip() = default;
  ~GdiClip() override = default;
  GdiClip(const GdiClip&) = delete;
  GdiClip& operator=(const GdiClip&) = delete;

  void SetRect(const RECT& rect) override;
  void SetRoundRect(const RECT& rect, int roundWidth, int roundHeight) override;
  void Intersect(const IClip& outer) override;
  bool IsEmpty() const override;
  RECT GetBounds() const override;
  HRGN GetRegion() const override { return static_cast<HRGN>(region_.Get()); }

  // True while the region is a plain rectangle (cheaper to hand to GDI+).
  bool IsRectangle() const { return rectangle_; }

 private:
  nbase::ScopedGdiObject region_;
  bool rectangle_ = true;
};

}  // namespace ui

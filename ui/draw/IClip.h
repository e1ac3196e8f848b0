// One clip region of a render context; contexts keep a stack of them (see AutoClip).
#pragma once

#include <windows.h>

namespace ui {

class IClip {
 public:
  virtual ~IClip() = default;

  // The region in device pixels (the context's window origin already applied).
  virtual void SetRect(const RECT& rect) = 0;
  virtual void SetRoundRect(const RECT& rect, int roundWidth, int roundHeight) = 0;
  // Intersects this region with another one (the enclosing clip).
  virtual void Intersect(const IClip& outer) = 0;
  virtual bool IsEmpty() const = 0;
  virtual RECT GetBounds() const = 0;
  virtual HRGN GetRegion() const = 0;
};

}  // namespace ui

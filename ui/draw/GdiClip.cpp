#include "ui/draw/GdiClip.h"

namespace ui {

void GdiClip::SetRect(const RECT& rect) {
  region_.Reset(::CreateRectRgnIndirect(&rect));
  rectangle_ = true;
}

void GdiClip::SetRoundRect(const RECT& rect, int roundWidth, int roundHeight) {
  if (roundWidth <= 0 || roundHeight <= 0) {
    SetRect(rect);
    return;
  }
  // CreateRoundRectRgn leaves out the right and bottom edge; widen by one to cover the rect.
  region_.Reset(::CreateRoundRectRgn(rect.left, rect.top, rect.right + 1, rect.bottom + 1,
                                     roundWidth, roundHeight));
  rectangle_ = false;
}

void GdiClip::Intersect(const IClip& outer) {
  HRGN mine = GetRegion();
  HRGN theirs = outer.GetRegion();
  if (!mine || !theirs) return;
  const int kind = ::CombineRgn(mine, mine, theirs, RGN_AND);
  // A region that reduced to one rectangle (or nothing) can be handed over as a rectangle.
  rectangle_ = kind == SIMPLEREGION || kind == NULLREGION;
}

bool GdiClip::IsEmpty() const {
  RECT bounds;
  return !region_ || ::GetRgnBox(GetRegion(), &bounds) == NULLREGION;
}

RECT GdiClip::GetBounds() const {
  RECT bounds = {0, 0, 0, 0};
  if (region_) ::GetRgnBox(GetRegion(), &bounds);
  return bounds;
}

}  // namespace ui

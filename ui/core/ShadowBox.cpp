#include "ui/core/ShadowBox.h"

namespace ui {

void ShadowBox::Paint(IRenderContext* context, const RECT& paintRect) {
  RECT inner = GetPos();
  const RECT& padding = GetPadding();
  inner.left += padding.left;
  inner.top += padding.top;
  inner.right -= padding.right;
  inner.bottom -= padding.bottom;
  RECT overlap;
  // An area wholly inside the layout needs no shadow: only the children are painted.
  if (::IntersectRect(&overlap, &paintRect, &inner) && ::EqualRect(&overlap, &paintRect)) {
    PaintChild(context, paintRect);
    return;
  }
  Box::Paint(context, paintRect);
}

}  // namespace ui

#include "ui/Layout.h"

#include <algorithm>

#include "ui/Control.h"

namespace ui {

SIZE Layout::SetFloatPos(Control* item, const RECT& rc) {
  const RECT& margin = item->GetMargin();
  const RECT space = DeflateRect(rc, margin);
  const int spaceWidth = std::max(0, RectWidth(space));
  const int spaceHeight = std::max(0, RectHeight(space));
  SIZE size = item->EstimateSize(MakeSize(spaceWidth, spaceHeight));
  if (item->GetFixedWidth() == kLengthAuto && item->GetFixedHeight() == kLengthAuto &&
      size.cx > spaceWidth) {
    // A long label wraps or ellipsises instead of overflowing the box.
    size = item->EstimateSize(MakeSize(spaceWidth, spaceHeight));
    size.cx = std::min<int>(size.cx, spaceWidth);
  }
  int width = size.cx == kLengthStretch ? spaceWidth : size.cx;
  int height = size.cy == kLengthStretch ? spaceHeight : size.cy;
  width = ClampLength(width, item->GetMinWidth(), item->GetMaxWidth());
  height = ClampLength(height, item->GetMinHeight(), item->GetMaxHeight());

  int left = space.left;
  if (item->GetHorAlignType() == kHorAlignCenter) {
    left = space.left + (spaceWidth - width) / 2;
  } else if (item->GetHorAlignType() == kHorAlignRight) {
    left = space.right - width;
  }
  int top = space.top;
  if (item->GetVerAlignType() == kVerAlignCenter) {
    top = space.top + (spaceHeight - height) / 2;
  } else if (item->GetVerAlignType() == kVerAlignBottom) {
    top = space.bottom - height;
  }
  item->SetPos(MakeRect(left, top, left + width, top + height));
  return MakeSize(width + margin.left + margin.right, height + margin.top + margin.bottom);
}

SIZE Layout::ArrangeChild(const std::vector<Control*>& items, const RECT& rc) {
  SIZE needed = {0, 0};
  for (Control* item : items) {
    if (!item->IsVisible()) continue;
    const SIZE size = SetFloatPos(item, rc);
    needed.cx = std::max(needed.cx, size.cx);
    needed.cy = std::max(needed.cy, size.cy);
  }
  return needed;
}

SIZE Layout::EstimateChildren(const std::vector<Control*>& items, SIZE available) {
  SIZE needed = {0, 0};
  for (Control* item : items) {
    if (!item->IsVisible()) continue;
    const RECT& margin = item->GetMargin();
    SIZE size = item->EstimateSize(available);
    if (size.cx < 0) size.cx = 0;  // stretch needs nothing of its own
    if (size.cy < 0) size.cy = 0;
    size.cx = ClampLength(size.cx, item->GetMinWidth(), item->GetMaxWidth());
    size.cy = ClampLength(size.cy, item->GetMinHeight(), item->GetMaxHeight());
    needed.cx = std::max<LONG>(needed.cx, size.cx + margin.left + margin.right);
    needed.cy = std::max<LONG>(needed.cy, size.cy + margin.top + margin.bottom);
  }
  return needed;
}

}  // namespace ui

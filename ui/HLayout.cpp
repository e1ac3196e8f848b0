#include "ui/HLayout.h"

#include <algorithm>

#include "ui/Control.h"

namespace ui {

SIZE HLayout::ArrangeChild(const std::vector<Control*>& items, const RECT& rc) {
  const int width = std::max(0, RectWidth(rc));
  const int height = std::max(0, RectHeight(rc));

  // Pass 1: what the fixed children take, and how many share the rest.
  int fixedSum = 0;
  int stretchCount = 0;
  int counted = 0;
  for (Control* item : items) {
    if (!item->IsVisible() || item->IsFloat()) continue;
    const RECT& margin = item->GetMargin();
    const SIZE size = item->EstimateSize(MakeSize(width, height));
    if (size.cx == kLengthStretch) {
      ++stretchCount;
      fixedSum += margin.left + margin.right;
    } else {
      fixedSum += ClampLength(size.cx, item->GetMinWidth(), item->GetMaxWidth()) + margin.left +
                  margin.right;
    }
    ++counted;
  }
  if (counted > 1) fixedSum += childMargin_ * (counted - 1);
  int share = 0;
  int remainder = 0;
  if (stretchCount > 0) {
    share = std::max(0, (width - fixedSum) / stretchCount);
    remainder = width - share * stretchCount - fixedSum;
  }

  // Pass 2: place them.
  int remaining = width;
  int x = rc.left;
  SIZE needed = {0, 0};
  int placed = 0;
  for (Control* item : items) {
    if (!item->IsVisible()) continue;
    if (item->IsFloat()) {
      Layout::SetFloatPos(item, rc);
      continue;
    }
    const RECT& margin = item->GetMargin();
    remaining -= margin.left;
    SIZE size = item->EstimateSize(MakeSize(std::max(0, remaining), height));
    int itemWidth = size.cx;
    if (itemWidth == kLengthStretch) {
      itemWidth = share;
      if (remainder > 0) {
        ++itemWidth;
        --remainder;
      }
    }
    itemWidth = ClampLength(itemWidth, item->GetMinWidth(), item->GetMaxWidth());
    int itemHeight = size.cy;
    if (itemHeight == kLengthStretch) {
      itemHeight =
          std::max(0, height - static_cast<int>(margin.top) - static_cast<int>(margin.bottom));
    }
    itemHeight = ClampLength(itemHeight, item->GetMinHeight(), item->GetMaxHeight());

    int top = rc.top + margin.top;
    if (item->GetVerAlignType() == kVerAlignBottom) {
      top = rc.bottom - margin.bottom - itemHeight;
    } else if (item->GetVerAlignType() == kVerAlignCenter) {
      top = (margin.top + rc.bottom - margin.bottom - itemHeight - rc.top) / 2 + rc.top;
    }
    x += margin.left;
    item->SetPos(MakeRect(x, top, x + itemWidth, top + itemHeight));
    x += itemWidth + margin.right + childMargin_;
    remaining -= itemWidth + margin.right + childMargin_;

    needed.cy = std::max<LONG>(needed.cy, itemHeight + margin.top + margin.bottom);
    needed.cx += itemWidth + margin.left + margin.right;
    ++placed;
  }
  if (placed > 1) needed.cx += childMargin_ * (placed - 1);
  return needed;
}

SIZE HLayout::EstimateChildren(const std::vector<Control*>& items, SIZE available) {
  SIZE needed = {0, 0};
  int counted = 0;
  for (Control* item : items) {
    if (!item->IsVisible() || item->IsFloat()) continue;
    const RECT& margin = item->GetMargin();
    SIZE size = item->EstimateSize(available);
    if (size.cx < 0) size.cx = 0;
    if (size.cy < 0) size.cy = 0;
    size.cx = ClampLength(size.cx, item->GetMinWidth(), item->GetMaxWidth());
    size.cy = ClampLength(size.cy, item->GetMinHeight(), item->GetMaxHeight());
    needed.cy = std::max<LONG>(needed.cy, size.cy + margin.top + margin.bottom);
    needed.cx += size.cx + margin.left + margin.right;
    ++counted;
  }
  if (counted > 1) needed.cx += childMargin_ * (counted - 1);
  return needed;
}

}  // namespace ui

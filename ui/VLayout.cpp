#include "ui/VLayout.h"

#include <algorithm>

#include "ui/Control.h"

namespace ui {

SIZE VLayout::ArrangeChild(const std::vector<Control*>& items, const RECT& rc) {
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
    if (size.cy == kLengthStretch) {
      ++stretchCount;
      fixedSum += margin.top + margin.bottom;
    } else {
      fixedSum += ClampLength(size.cy, item->GetMinHeight(), item->GetMaxHeight()) + margin.top +
                  margin.bottom;
    }
    ++counted;
  }
  if (counted > 1) fixedSum += childMargin_ * (counted - 1);
  int share = 0;
  int remainder = 0;
  if (stretchCount > 0) {
    share = std::max(0, (height - fixedSum) / stretchCount);
    remainder = height - share * stretchCount - fixedSum;
  }

  // Pass 2: place them.
  int remaining = height;
  int y = rc.top;
  SIZE needed = {0, 0};
  int placed = 0;
  for (Control* item : items) {
    if (!item->IsVisible()) continue;
    if (item->IsFloat()) {
      Layout::SetFloatPos(item, rc);
      continue;
    }
    const RECT& margin = item->GetMargin();
    remaining -= margin.top;
    SIZE size = item->EstimateSize(MakeSize(width, std::max(0, remaining)));
    int itemHeight = size.cy;
    if (itemHeight == kLengthStretch) {
      itemHeight = share;
      if (remainder > 0) {
        ++itemHeight;
        --remainder;
      }
    }
    itemHeight = ClampLength(itemHeight, item->GetMinHeight(), item->GetMaxHeight());
    int itemWidth = size.cx;
    if (itemWidth == kLengthStretch) {
      itemWidth =
          std::max(0, width - static_cast<int>(margin.left) - static_cast<int>(margin.right));
    }
    itemWidth = ClampLength(itemWidth, item->GetMinWidth(), item->GetMaxWidth());

    int left = rc.left + margin.left;
    if (item->GetHorAlignType() == kHorAlignRight) {
      left = rc.right - margin.right - itemWidth;
    } else if (item->GetHorAlignType() == kHorAlignCenter) {
      left = (margin.left + rc.right - margin.right - itemWidth - rc.left) / 2 + rc.left;
    }
    y += margin.top;
    item->SetPos(MakeRect(left, y, left + itemWidth, y + itemHeight));
    y += itemHeight + margin.bottom + childMargin_;
    remaining -= itemHeight + margin.bottom + childMargin_;

    needed.cx = std::max<LONG>(needed.cx, itemWidth + margin.left + margin.right);
    needed.cy += itemHeight + margin.top + margin.bottom;
    ++placed;
  }
  if (placed > 1) needed.cy += childMargin_ * (placed - 1);
  return needed;
}

SIZE VLayout::EstimateChildren(const std::vector<Control*>& items, SIZE available) {
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
    needed.cx = std::max<LONG>(needed.cx, size.cx + margin.left + margin.right);
    needed.cy += size.cy + margin.top + margin.bottom;
    ++counted;
  }
  if (counted > 1) needed.cy += childMargin_ * (counted - 1);
  return needed;
}

}  // namespace ui

#include "ui/core/Layout.h"

#include <algorithm>

#include "ui/core/Control.h"

namespace ui {

namespace {

// Placement along or across an axis; the values of HorAlignType and VerAlignType alike.
constexpr int kAlignCentre = 1;
constexpr int kAlignEnd = 2;

// Lengths, bounds and alignment of a control seen along one axis ("main") and across it
// ("cross"), so that one stacking routine serves both HBox and VBox.
class AxisView {
 public:
  explicit AxisView(bool horizontal) : horizontal_(horizontal) {}

  int Main(const SIZE& size) const { return horizontal_ ? size.cx : size.cy; }
  int Cross(const SIZE& size) const { return horizontal_ ? size.cy : size.cx; }
  SIZE MakeSize(int main, int cross) const {
    return horizontal_ ? ui::MakeSize(main, cross) : ui::MakeSize(cross, main);
  }

  int MainStart(const RECT& rc) const { return horizontal_ ? rc.left : rc.top; }
  int MainEnd(const RECT& rc) const { return horizontal_ ? rc.right : rc.bottom; }
  int CrossStart(const RECT& rc) const { return horizontal_ ? rc.top : rc.left; }
  int CrossEnd(const RECT& rc) const { return horizontal_ ? rc.bottom : rc.right; }
  RECT MakeRect(int mainStart, int crossStart, int mainLength, int crossLength) const {
    return horizontal_ ? ui::MakeRect(mainStart, crossStart, mainStart + mainLength,
                                      crossStart + crossLength)
                       : ui::MakeRect(crossStart, mainStart, crossStart + crossLength,
                                      mainStart + mainLength);
  }

  int ClampMain(const Control* item, int length) const {
    return horizontal_ ? ClampLength(length, item->GetMinWidth(), item->GetMaxWidth())
                       : ClampLength(length, item->GetMinHeight(), item->GetMaxHeight());
  }
  int ClampCross(const Control* item, int length) const {
    return horizontal_ ? ClampLength(length, item->GetMinHeight(), item->GetMaxHeight())
                       : ClampLength(length, item->GetMinWidth(), item->GetMaxWidth());
  }
  // Start (left/top), kAlignCentre or kAlignEnd (right/bottom).
  int MainAlign(const Control* item) const {
    return horizontal_ ? static_cast<int>(item->GetHorAlignType())
                       : static_cast<int>(item->GetVerAlignType());
  }
  int CrossAlign(const Control* item) const {
    return horizontal_ ? static_cast<int>(item->GetVerAlignType())
                       : static_cast<int>(item->GetHorAlignType());
  }

 private:
  bool horizontal_;
};

}  // namespace

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

SIZE Layout::ArrangeStack(const std::vector<Control*>& items, const RECT& rc, Axis axis) const {
  const AxisView view(axis == Axis::kHorizontal);
  const int mainLength = std::max(0, view.MainEnd(rc) - view.MainStart(rc));
  const int crossLength = std::max(0, view.CrossEnd(rc) - view.CrossStart(rc));
  const SIZE offered = view.MakeSize(mainLength, crossLength);

  // Pass 1: what the fixed children take, and how many share the rest.
  int fixedSum = 0;
  int stretchCount = 0;
  int counted = 0;
  for (Control* item : items) {
    if (!item->IsVisible() || item->IsFloat()) continue;
    const RECT& margin = item->GetMargin();
    const int margins = view.MainStart(margin) + view.MainEnd(margin);
    const int length = view.Main(item->EstimateSize(offered));
    if (length == kLengthStretch) {
      ++stretchCount;
      fixedSum += margins;
    } else {
      fixedSum += view.ClampMain(item, length) + margins;
    }
    ++counted;
  }
  if (counted > 1) fixedSum += childMargin_ * (counted - 1);
  int share = 0;
  int remainder = 0;
  int lead = 0;
  if (stretchCount > 0) {
    share = std::max(0, (mainLength - fixedSum) / stretchCount);
    remainder = mainLength - share * stretchCount - fixedSum;
  } else if (mainLength > fixedSum) {
    // Nothing takes up the free space: children that all ask to be centred (or pushed to the
    // end) along the axis are moved together, as a single centred label in a row expects.
    lead = LeadingSpace(items, mainLength - fixedSum, axis);
  }

  // Pass 2: place them.
  int remaining = mainLength - lead;
  int position = view.MainStart(rc) + lead;
  int neededMain = 0;
  int neededCross = 0;
  int placed = 0;
  for (Control* item : items) {
    if (!item->IsVisible()) continue;
    if (item->IsFloat()) {
      Layout::SetFloatPos(item, rc);
      continue;
    }
    const RECT& margin = item->GetMargin();
    remaining -= view.MainStart(margin);
    const SIZE size = item->EstimateSize(view.MakeSize(std::max(0, remaining), crossLength));
    int itemMain = view.Main(size);
    if (itemMain == kLengthStretch) {
      itemMain = share;
      if (remainder > 0) {
        ++itemMain;
        --remainder;
      }
    }
    itemMain = view.ClampMain(item, itemMain);
    int itemCross = view.Cross(size);
    if (itemCross == kLengthStretch) {
      itemCross = std::max(0, crossLength - view.CrossStart(margin) - view.CrossEnd(margin));
    }
    itemCross = view.ClampCross(item, itemCross);

    int crossStart = view.CrossStart(rc) + view.CrossStart(margin);
    if (view.CrossAlign(item) == kAlignEnd) {
      crossStart = view.CrossEnd(rc) - view.CrossEnd(margin) - itemCross;
    } else if (view.CrossAlign(item) == kAlignCentre) {
      crossStart = (view.CrossStart(margin) + view.CrossEnd(rc) - view.CrossEnd(margin) -
                    itemCross - view.CrossStart(rc)) /
                       2 +
                   view.CrossStart(rc);
    }
    position += view.MainStart(margin);
    item->SetPos(view.MakeRect(position, crossStart, itemMain, itemCross));
    position += itemMain + view.MainEnd(margin) + childMargin_;
    remaining -= itemMain + view.MainEnd(margin) + childMargin_;

    neededCross =
        std::max(neededCross, itemCross + view.CrossStart(margin) + view.CrossEnd(margin));
    neededMain += itemMain + view.MainStart(margin) + view.MainEnd(margin);
    ++placed;
  }
  if (placed > 1) neededMain += childMargin_ * (placed - 1);
  return view.MakeSize(neededMain, neededCross);
}

int Layout::LeadingSpace(const std::vector<Control*>& items, int freeSpace, Axis axis) {
  const AxisView view(axis == Axis::kHorizontal);
  int shared = -1;
  for (const Control* item : items) {
    if (!item->IsVisible() || item->IsFloat()) continue;
    const int align = view.MainAlign(item);
    if (shared >= 0 && align != shared) return 0;
    shared = align;
  }
  if (shared == kAlignCentre) return freeSpace / 2;
  if (shared == kAlignEnd) return freeSpace;
  return 0;
}

SIZE Layout::EstimateStack(const std::vector<Control*>& items, SIZE available, Axis axis) const {
  const AxisView view(axis == Axis::kHorizontal);
  int neededMain = 0;
  int neededCross = 0;
  int counted = 0;
  for (Control* item : items) {
    if (!item->IsVisible() || item->IsFloat()) continue;
    const RECT& margin = item->GetMargin();
    const SIZE size = item->EstimateSize(available);
    const int itemMain = view.ClampMain(item, std::max(0, view.Main(size)));
    const int itemCross = view.ClampCross(item, std::max(0, view.Cross(size)));
    neededCross =
        std::max(neededCross, itemCross + view.CrossStart(margin) + view.CrossEnd(margin));
    neededMain += itemMain + view.MainStart(margin) + view.MainEnd(margin);
    ++counted;
  }
  if (counted > 1) neededMain += childMargin_ * (counted - 1);
  return view.MakeSize(neededMain, neededCross);
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

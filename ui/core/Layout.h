// How a box places its children. The base layout (a plain Box) places every
// child on its own inside the box, so children overlap.
#pragma once

#include <windows.h>

#include <vector>

namespace ui {

class Box;
class Control;

class Layout {
 public:
  Layout() = default;
  virtual ~Layout() = default;
  Layout(const Layout&) = delete;
  Layout& operator=(const Layout&) = delete;

  void SetOwner(Box* owner) { owner_ = owner; }
  const RECT& GetPadding() const { return padding_; }
  void SetPadding(const RECT& padding) { padding_ = padding; }
  int GetChildMargin() const { return childMargin_; }
  void SetChildMargin(int margin) { childMargin_ = margin; }

  // Places the visible children inside |rc| (the box's rectangle less its
  // padding) and returns the size they need.
  virtual SIZE ArrangeChild(const std::vector<Control*>& items, const RECT& rc);
  // The size the children need inside |available| (padding not included).
  virtual SIZE EstimateChildren(const std::vector<Control*>& items, SIZE available);

  // Places one child as a plain box does; returns its size plus margins.
  static SIZE SetFloatPos(Control* item, const RECT& rc);

 protected:
  // The axis HBox (horizontal) and VBox (vertical) stack their children along.
  enum class Axis { kHorizontal, kVertical };

  // Stacks the visible, non-float children along |axis| inside |rc|: stretch lengths share
  // what the others leave (see LeadingSpace when none stretches), each child is aligned across
  // the axis by its own alignment; float children are placed as in a plain box. Returns the
  // size the stacked children need.
  SIZE ArrangeStack(const std::vector<Control*>& items, const RECT& rc, Axis axis) const;
  // Where a stack without stretch children starts, given the space it leaves free: all of it
  // or half of it when every stacked child is aligned to the end or the centre along |axis|,
  // else nothing.
  static int LeadingSpace(const std::vector<Control*>& items, int freeSpace, Axis axis);
  // The size children stacked along |axis| need inside |available|.
  SIZE EstimateStack(const std::vector<Control*>& items, SIZE available, Axis axis) const;

  Box* owner_ = nullptr;
  RECT padding_ = {0, 0, 0, 0};
  int childMargin_ = 0;
};

}  // namespace ui

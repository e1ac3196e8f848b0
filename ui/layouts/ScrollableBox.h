// A box that can scroll its content. Of the scrolling itself only what the rich
// edit needs is kept: the scroll-bar attributes are accepted and remembered.
#pragma once

#include "ui/core/Box.h"

namespace ui {

class ScrollableBox : public Box {
 public:
  explicit ScrollableBox(std::unique_ptr<Layout> layout = nullptr) : Box(std::move(layout)) {}

  std::wstring GetType() const override { return L"ScrollableBox"; }
  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override;

  bool HasVScrollBar() const { return vScrollBar_; }
  bool HasHScrollBar() const { return hScrollBar_; }

 protected:
  bool vScrollBar_ = false;
  bool hScrollBar_ = false;
};

}  // namespace ui

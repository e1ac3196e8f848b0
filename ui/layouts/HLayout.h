// Places a box's children from left to right; stretch widths share the free
// space.
#pragma once

#include "ui/core/Layout.h"

namespace ui {

class HLayout : public Layout {
 public:
  SIZE ArrangeChild(const std::vector<Control*>& items, const RECT& rc) override;
  SIZE EstimateChildren(const std::vector<Control*>& items, SIZE available) override;
};

}  // namespace ui

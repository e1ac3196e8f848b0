// Stacks a box's children from top to bottom; stretch heights share the free
// space.
#pragma once

#include "ui/core/Layout.h"

namespace ui {

class VLayout : public Layout {
 public:
  SIZE ArrangeChild(const std::vector<Control*>& items, const RECT& rc) override;
  SIZE EstimateChildren(const std::vector<Control*>& items, SIZE available) override;
};

}  // namespace ui

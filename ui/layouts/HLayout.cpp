#include "ui/layouts/HLayout.h"

namespace ui {

SIZE HLayout::ArrangeChild(const std::vector<Control*>& items, const RECT& rc) {
  return ArrangeStack(items, rc, Axis::kHorizontal);
}

SIZE HLayout::EstimateChildren(const std::vector<Control*>& items, SIZE available) {
  return EstimateStack(items, available, Axis::kHorizontal);
}

}  // namespace ui

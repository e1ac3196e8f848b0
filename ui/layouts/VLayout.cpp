#include "ui/layouts/VLayout.h"

namespace ui {

SIZE VLayout::ArrangeChild(const std::vector<Control*>& items, const RECT& rc) {
  return ArrangeStack(items, rc, Axis::kVertical);
}

SIZE VLayout::EstimateChildren(const std::vector<Control*>& items, SIZE available) {
  return EstimateStack(items, available, Axis::kVertical);
}

}  // namespace ui

// A box that stacks its children top to bottom.
#pragma once

#include "ui/core/Box.h"
#include "ui/layouts/VLayout.h"

namespace ui {

class VBox : public Box {
 public:
  VBox() : Box(std::make_unique<VLayout>()) {}
  std::wstring GetType() const override { return L"VBox"; }
};

}  // namespace ui

// A box that places its children side by side, left to right.
#pragma once

#include "ui/core/Box.h"
#include "ui/layouts/HLayout.h"

namespace ui {

class HBox : public Box {
 public:
  HBox() : Box(std::make_unique<HLayout>()) {}
  std::wstring GetType() const override { return L"HBox"; }
};

}  // namespace ui

// The box a window wraps its layout in to draw its shadow: its padding is the shadow margin and
// its background the shadow image; it paints only that margin around the layout.
#pragma once

#include "ui/core/Box.h"

namespace ui {

class ShadowBox : public Box {
 public:
  ShadowBox() = default;
  ~ShadowBox() override = default;

  std::wstring GetType() const override { return L"ShadowBox"; }
  void Paint(IRenderContext* context, const RECT& paintRect) override;
};

}  // namespace ui

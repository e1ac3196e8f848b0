// A solid fill for paths and areas.
#pragma once

#include <windows.h>

namespace ui {

class IBrush {
 public:
  virtual ~IBrush() = default;

  virtual void SetColor(DWORD argb) = 0;
  virtual DWORD GetColor() const = 0;
};

}  // namespace ui

// Sees a window's messages before the toolkit routes them to controls.
#pragma once

#include <windows.h>

namespace ui {

class IUIMessageFilter {
 public:
  virtual ~IUIMessageFilter() = default;
  // Set handled to stop further processing (ignored for WM_MOUSEMOVE, which is always routed).
  virtual LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;
};

}  // namespace ui

// Shared set-up of the control tests: the toolkit started without a skin (or
// with the real one), and a scoped DPI scale.
#pragma once

#include <string>

#include "ui/misc/DpiState.h"
#include "ui/core/UiGlobal.h"
#include "ui/core/Window.h"

namespace ui_test {

// Starts the toolkit once per process with a resource root that holds no skin,
// so the render factory and GDI+ exist but global.xml is absent.
void StartToolkitWithoutSkin();

// The repository's source folder as a Windows path (Z:\...).
std::wstring SourceDir();
// The build folder as a Windows path.
std::wstring BuildDir();

// A plain hidden window that hosts a control tree (no layout of its own, no shadow).
class HostWindow : public ui::Window {
 public:
  std::wstring WindowClassName() const override { return L"ControlsTestHost"; }
  LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
    if (message == WM_CREATE) InitWindow();
    return ui::Window::HandleWindowMessage(message, wParam, lParam, handled);
  }
};

// Sets the DPI state for the life of the object and puts the old one back.
class ScopedDpi {
 public:
  ScopedDpi(bool aware, int scale) : saved_(ui::UiGlobal::GetDpiState()) {
    ui::UiGlobal::GetDpiState().SetAware(aware);
    ui::UiGlobal::GetDpiState().SetScale(scale);
  }
  ~ScopedDpi() { ui::UiGlobal::GetDpiState() = saved_; }
  ScopedDpi(const ScopedDpi&) = delete;
  ScopedDpi& operator=(const ScopedDpi&) = delete;

 private:
  ui::DpiState saved_;
};

}  // namespace ui_test

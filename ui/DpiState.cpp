#include "ui/DpiState.h"

#include "ui/WindowsVersion.h"

namespace ui {

namespace {

using SetProcessDpiAwarenessInternalFn = BOOL(WINAPI*)(int);
using SetProcessDpiAwareFn = BOOL(WINAPI*)();
using GetDpiForMonitorInternalFn = BOOL(WINAPI*)(HMONITOR, int, UINT*, UINT*);

// user32 stays loaded for the life of the process, so the looked-up addresses
// stay valid.
struct User32Functions {
  SetProcessDpiAwarenessInternalFn setAwarenessInternal = nullptr;
  SetProcessDpiAwareFn setDpiAware = nullptr;
  GetDpiForMonitorInternalFn getDpiForMonitorInternal = nullptr;

  User32Functions() {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    if (!user32) return;
    setAwarenessInternal = reinterpret_cast<SetProcessDpiAwarenessInternalFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "SetProcessDpiAwarenessInternal")));
    setDpiAware = reinterpret_cast<SetProcessDpiAwareFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "SetProcessDPIAware")));
    getDpiForMonitorInternal = reinterpret_cast<GetDpiForMonitorInternalFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetDpiForMonitorInternal")));
  }
};

const User32Functions& Functions() {
  static const User32Functions functions;
  return functions;
}

int ScreenLogPixels() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

void DpiState::InitAwareness() {
  if (aware_) return;
  if (!IsWindowsVersionOrLater(6, 0)) {
    aware_ = true;  // before Vista every process is effectively aware
    return;
  }
  const User32Functions& fn = Functions();
  // 2 = per-monitor aware. This entry point reports success as zero.
  if (fn.setAwarenessInternal && fn.setAwarenessInternal(2) == 0) {
    aware_ = true;
    return;
  }
  if (fn.setDpiAware && fn.setDpiAware() != 0) aware_ = true;
}

int DpiState::GetMonitorDpi() {
  if (!IsWindowsVersionOrLater(6, 2)) return ScreenLogPixels();
  const User32Functions& fn = Functions();
  if (!fn.getDpiForMonitorInternal) return 96;
  const POINT pt = {1, 1};
  HMONITOR monitor = ::MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST);
  UINT dpiX = 0;
  UINT dpiY = 0;
  // 0 = the effective DPI.
  if (!fn.getDpiForMonitorInternal(monitor, 0, &dpiX, &dpiY) || dpiX == 0) return 96;
  return static_cast<int>(dpiX);
}

void DpiState::InitScaleFromMonitor() {
  const int dpi = GetMonitorDpi();
  if (aware_) SetScaleFromDpi(dpi);
}

void DpiState::SetScaleFromDpi(int dpi) { scale_ = ::MulDiv(dpi, 100, 96); }

int DpiState::ScaleValue(int value) const {
  if (!aware_ || scale_ == 100) return value;
  return ::MulDiv(value, scale_, 100);
}

void DpiState::ScaleRect(RECT* rect) const {
  rect->left = ScaleValue(rect->left);
  rect->top = ScaleValue(rect->top);
  rect->right = ScaleValue(rect->right);
  rect->bottom = ScaleValue(rect->bottom);
}

void DpiState::ScaleSize(SIZE* size) const {
  size->cx = ScaleValue(size->cx);
  size->cy = ScaleValue(size->cy);
}

}  // namespace ui

#include "ui/misc/DpiState.h"

#include "base/DisplayDpi.h"
#include "base/WindowsVersion.h"

namespace ui {

namespace {

using SetProcessDpiAwarenessInternalFn = BOOL(WINAPI*)(int);
using SetProcessDpiAwareFn = BOOL(WINAPI*)();

// user32 stays loaded for the life of the process, so the looked-up addresses
// stay valid.
struct User32Functions {
  SetProcessDpiAwarenessInternalFn setAwarenessInternal = nullptr;
  SetProcessDpiAwareFn setDpiAware = nullptr;

  User32Functions() {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    if (!user32) return;
    setAwarenessInternal = reinterpret_cast<SetProcessDpiAwarenessInternalFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "SetProcessDpiAwarenessInternal")));
    setDpiAware = reinterpret_cast<SetProcessDpiAwareFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "SetProcessDPIAware")));
  }
};

const User32Functions& Functions() {
  static const User32Functions functions;
  return functions;
}

}  // namespace

void DpiState::InitAwareness() {
  if (aware_) return;
  if (!nbase::IsWindowsVersionOrGreater(6, 0)) {
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

void DpiState::InitScaleFromMonitor() {
  const int dpi = nbase::GetMonitorDpi();
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

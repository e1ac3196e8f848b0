#include "base/DisplayDpi.h"

#include <windows.h>

#include "base/WindowsVersion.h"

namespace nbase {

namespace {

using GetDpiForSystemFn = UINT(WINAPI*)();
using GetDpiForMonitorInternalFn = BOOL(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using SetProcessDpiAwarenessInternalFn = BOOL(WINAPI*)(int);
using SetProcessDpiAwareFn = BOOL(WINAPI*)();

// Looked up by name once: none exists on every system the program runs on.
// user32 stays loaded for the life of the process, so the addresses stay valid.
struct DpiFunctions {
  DpiLookups lookups;
  SetProcessDpiAwarenessInternalFn setAwarenessInternal = nullptr;
  SetProcessDpiAwareFn setDpiAware = nullptr;

  DpiFunctions() {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    if (!user32) return;
    lookups.getDpiForSystem = reinterpret_cast<GetDpiForSystemFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetDpiForSystem")));
    lookups.getDpiForMonitorInternal = reinterpret_cast<GetDpiForMonitorInternalFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetDpiForMonitorInternal")));
    setAwarenessInternal = reinterpret_cast<SetProcessDpiAwarenessInternalFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "SetProcessDpiAwarenessInternal")));
    setDpiAware = reinterpret_cast<SetProcessDpiAwareFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "SetProcessDPIAware")));
  }
};

const DpiFunctions& Functions() {
  static const DpiFunctions functions;
  return functions;
}

}  // namespace

const DpiLookups& SystemDpiLookups() { return Functions().lookups; }

int GetScreenLogPixels() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

int GetSystemDpi(const DpiLookups& lookups) {
  if (!lookups.getDpiForSystem) return GetScreenLogPixels();
  return static_cast<int>(lookups.getDpiForSystem());
}

int GetMonitorDpi(const DpiLookups& lookups) {
  if (!lookups.getDpiForMonitorInternal) return GetScreenLogPixels();
  const POINT pt = {1, 1};
  HMONITOR monitor = ::MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST);
  UINT dpiX = 0;
  UINT dpiY = 0;
  // 0 = the effective DPI.
  if (!lookups.getDpiForMonitorInternal(monitor, 0, &dpiX, &dpiY) || dpiX == 0) return 96;
  return static_cast<int>(dpiX);
}

bool MakeProcessDpiAware() {
  if (!IsWindowsVersionOrGreater(6, 0)) return true;
  const DpiFunctions& fn = Functions();
  // 2 = per-monitor aware. This entry point reports success as zero.
  if (fn.setAwarenessInternal && fn.setAwarenessInternal(2) == 0) return true;
  return fn.setDpiAware && fn.setDpiAware() != 0;
}

}  // namespace nbase

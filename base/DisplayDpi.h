// The display's DPI, read the way each Windows version allows, and the
// process's DPI awareness. The program reads the DPI here only: the theme
// folder, the UI scale, the AppStart report and the rich edit's point sizes
// all agree.
#pragma once

#include <windows.h>

namespace nbase {

// user32's DPI functions, looked up by name: each is null where the system
// lacks it (GetDpiForSystem came with Windows 10 1607, GetDpiForMonitorInternal
// with 8.1).
struct DpiLookups {
  UINT(WINAPI* getDpiForSystem)() = nullptr;
  BOOL(WINAPI* getDpiForMonitorInternal)(HMONITOR, int, UINT*, UINT*) = nullptr;
};
// This process's lookups, made once.
const DpiLookups& SystemDpiLookups();

// The system DPI that chooses the theme folder: GetDpiForSystem, else the
// screen's LOGPIXELSX (which is the system DPI for a DPI-aware process on
// every Windows, and the only source before 1607).
int GetSystemDpi(const DpiLookups& lookups = SystemDpiLookups());

// The main monitor's effective DPI that sets the UI scale:
// GetDpiForMonitorInternal for the monitor nearest (1,1) (96 when it fails),
// else the screen's LOGPIXELSX.
int GetMonitorDpi(const DpiLookups& lookups = SystemDpiLookups());

// The screen device context's LOGPIXELSX (96 when it cannot be read).
int GetScreenLogPixels();

// Makes the process DPI-aware: per-monitor where user32 offers it, else
// system-aware. True when it is; before Vista every process is.
bool MakeProcessDpiAware();

}  // namespace nbase

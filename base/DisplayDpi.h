// The display's DPI, read the way each Windows version allows, and the
// process's DPI awareness. The program reads the DPI here only: the theme
// folder, the UI scale, the AppStart report and the rich edit's point sizes
// all agree.
#pragma once

namespace nbase {

// The system DPI that chooses the theme folder: GetDpiForSystem on Windows 8
// and later (96 where user32 lacks it), the screen's LOGPIXELSX before.
int GetSystemDpi();

// The main monitor's effective DPI that sets the UI scale:
// GetDpiForMonitorInternal for the monitor nearest (1,1) on Windows 8 and later
// (96 where it is missing or fails), the screen's LOGPIXELSX before.
int GetMonitorDpi();

// The screen device context's LOGPIXELSX (96 when it cannot be read).
int GetScreenLogPixels();

// Makes the process DPI-aware: per-monitor where user32 offers it, else
// system-aware. True when it is; before Vista every process is.
bool MakeProcessDpiAware();

}  // namespace nbase

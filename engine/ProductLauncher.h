// Starting the installed product after a successful setup.
#pragma once

#include <string>

#include "engine/DesktopShell.h"

// The product's command line: its path in quotes, then " --install".
std::wstring BuildLaunchCommandLine(const std::wstring& installDir);

// Starts installDir + "\pageWright.exe" with "--install" as the desktop's
// user, through |route| with the install folder as its working folder; where
// the route cannot, starts it once the way this process can (CreateProcess
// with BuildLaunchCommandLine). True when either started it; the installer
// ends either way.
bool LaunchProduct(const std::wstring& installDir, const ShellRoute& route = ExecuteInDesktopShell);

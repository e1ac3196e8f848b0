// Opening web pages in the user's browser.
#pragma once

#include <string>

#include "engine/DesktopShell.h"

// Opens |url| (without its leading blanks) on a short-lived thread of its own,
// so that a slow URL handler never holds the window: as the desktop's user
// through |route|; where the route cannot, once with this process's shell
// "open" verb, and when the shell cannot open it, with Internet Explorer.
void OpenUrl(const std::wstring& url, const ShellRoute& route = ExecuteInDesktopShell);

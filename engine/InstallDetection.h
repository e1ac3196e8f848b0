// Whether the product is already installed: from the installer's own record
// or from the system's list of installed programs.
#pragma once

#include <windows.h>

// True when the recorded installation folder holds the product executable.
bool IsInstalledAtRecordedPath();

// True when an entry of the uninstall list (in the registry view |viewFlag|:
// 0 for the process's own, KEY_WOW64_64KEY for the 64-bit one) has a display
// name containing the product's display name.
bool FindUninstallEntry(REGSAM viewFlag);

// The recorded path, then the default view, then the 64-bit view.
bool ProductIsInstalled();

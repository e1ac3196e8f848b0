// Starting the installed product after a successful setup.
#pragma once

#include <string>

// The product's command line: its path in quotes, then " --install".
std::wstring BuildLaunchCommandLine(const std::wstring& installDir);

// Starts installDir + "\pageWright.exe" with "--install". True when the
// process was created; the installer ends either way.
bool LaunchProduct(const std::wstring& installDir);

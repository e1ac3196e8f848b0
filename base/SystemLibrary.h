// Loading code only from the system folder. The program runs elevated from a
// folder anyone can write to (typically Downloads), so a DLL found beside it
// must never be loaded.
#pragma once

#include <windows.h>

namespace nbase {

// Restricts the DLL search of the whole process to the system folder. Called
// first thing on start-up. Where SetDefaultDllDirectories is missing (Vista
// and 7 without the loader update) it only drops the current folder from the
// search; LoadSystemLibrary still loads by full path there.
void RestrictDllSearchToSystemFolder();

// Loads |name| (a bare file name such as L"msftedit.dll") by its full path in
// the system folder, its own dependencies searched there first. Null when the
// file is missing there or cannot be loaded; never looks anywhere else.
HMODULE LoadSystemLibrary(const wchar_t* name);

}  // namespace nbase

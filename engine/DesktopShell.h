// Starting programs and opening pages as the user who runs the desktop. The
// installer runs elevated; what it starts through CreateProcess or its own
// ShellExecute inherits the administrator's token (and, where a standard user
// typed an administrator's password, runs as that other account). The shell
// that owns the desktop runs as the logged-on user, so what it starts does too.
#pragma once

#include <functional>
#include <string>

// ShellExecute(file, parameters, directory) done by some shell; true when that
// shell started it. Tests hand in their own.
using ShellRoute = std::function<bool(const std::wstring& file, const std::wstring& parameters,
                                      const std::wstring& directory)>;

// The desktop shell's own ShellExecute ("open", shown normally), reached
// through the desktop's shell window: IShellWindows::FindWindowSW(SWC_DESKTOP)
// -> IShellBrowser -> its view's IShellFolderViewDual -> IShellDispatch2.
// Initialises COM on the calling thread for the call. False where the desktop
// has no shell window (no Explorer, as under Wine) or any step fails; then
// nothing was started. Empty |parameters| or |directory| are left out.
bool ExecuteInDesktopShell(const std::wstring& file, const std::wstring& parameters,
                           const std::wstring& directory);

// Which Windows the program runs on, for the few places where behaviour depends
// on it.
#pragma once

namespace nbase {

// True on Windows major.minor (with at least that service pack) or later: 5.1 XP,
// 6.0 Vista, 6.1 Windows 7, 6.2 Windows 8.
bool IsWindowsVersionOrGreater(unsigned major, unsigned minor, unsigned servicePackMajor = 0);

}  // namespace nbase

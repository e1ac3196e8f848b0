// Which Windows the program runs on, for the few places where behaviour depends
// on it.
#pragma once

namespace ui {

// True on Windows major.minor or later (6.0 Vista, 6.2 Windows 8).
bool IsWindowsVersionOrLater(unsigned major, unsigned minor);

}  // namespace ui

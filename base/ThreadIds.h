// Identifiers under which the program's framework threads register.
#pragma once

namespace nbase {

constexpr int kUiThreadId = 0;    // "MainThread", the UI thread
constexpr int kMiscThreadId = 2;  // "Global Misc Thread": package download and installation
constexpr int kHttpThreadId = 6;  // "http Thread": usage reports

}  // namespace nbase

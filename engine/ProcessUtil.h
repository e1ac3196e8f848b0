// Starting a program and waiting for it, and finding running programs by name.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/ScopedHandle.h"

// The result of RunProcessAndWait when the exit code cannot be read.
constexpr int32_t kExitCodeUnreadable = -10002;

// Runs a program hidden and waits for it without a time limit. Either text may
// be empty (it is then passed as null). Returns the exit code, the system
// error code when the program cannot be started, or kExitCodeUnreadable.
int32_t RunProcessAndWait(const std::wstring& applicationName, const std::wstring& commandLine);

// Counts the running processes whose executable file name is exactly
// |exeName| (case-sensitive), ending each one when |terminate| is set and then
// waiting, up to 5 s in all, until the ended ones are gone. A process that
// cannot be opened is still counted.
int FindProcessesByName(const std::wstring& exeName, bool terminate);

// Waits until every process (or thread) has ended, |limitMs| in all.
void WaitForAllToEnd(const std::vector<nbase::ScopedKernelHandle>& handles, DWORD limitMs);

// |path| in double quotes, so that blanks in it cannot split the command line.
std::wstring QuoteCommandLinePath(const std::wstring& path);

// Values that identify the installation and its environment in every report.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// 32 uppercase hex digits: the stored UniqueId, else a new one (stored).
// Cached for the life of the process; never empty.
std::wstring GetUniqueId();

// "a.b.c.d" from the version resource of |path| (empty: this executable);
// "1.0.0.0" without one. The first answer is cached for the process.
std::wstring GetAppVersion(const std::wstring& path);

// One row of the OS name table, "unknown OperatingSystem." when none fits.
std::wstring GetOSName();

bool IsNative64Bit();
// True for the x64 and IA-64 architecture codes only (so ARM64 is "32bit").
bool IsArchitecture64Bit(WORD architecture);

// "<OS name> 64bit" or "<OS name> 32bit".
std::wstring GetSystemDescriptor();

// The CHANNEL resource 138 of this executable, decoded from UTF-8 (at most
// 260 bytes; empty when not valid UTF-8). False, |text| untouched, when the
// resource is absent.
bool ReadChannel(std::wstring* text);
bool ReadChannelFromModule(HMODULE module, std::wstring* text);
std::wstring DecodeChannel(const void* bytes, size_t size);
// The channel every user of it takes: the resource's text, even when empty
// (not UTF-8); "default" only when there is no resource.
std::wstring ChannelOrDefault(HMODULE module = nullptr);

bool IsWindowsServer();

// Milliseconds since 1601-01-01 (system file time) as decimal text.
std::string TimeStampText();

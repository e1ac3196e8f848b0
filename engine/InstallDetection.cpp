#include "engine/InstallDetection.h"

#include <string>

#include "base/ScopedHandle.h"
#include "engine/ProductInfo.h"
#include "engine/Registry.h"

namespace {

constexpr wchar_t kUninstallKey[] = L"SoftWare\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr wchar_t kInstallerPathValue[] = L"InstallerPath";

// Reads DisplayName into a zeroed 512-byte buffer; a longer name does not fit
// and reads as empty.
std::wstring ReadDisplayName(HKEY key) {
  wchar_t buffer[256 + 1] = {};
  DWORD bytes = 256 * sizeof(wchar_t);
  if (::RegQueryValueExW(key, L"DisplayName", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                         &bytes) != ERROR_SUCCESS)
    return std::wstring();
  return std::wstring(buffer);
}

}  // namespace

bool IsInstalledAtRecordedPath() {
  const std::wstring folder = RegReadString(product::kAppInfoKey, kInstallerPathValue);
  if (folder.empty()) return false;
  const std::wstring exe = folder + L"\\" + product::kProductExeName;
  return ::GetFileAttributesW(exe.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool FindUninstallEntry(REGSAM viewFlag) {
  const REGSAM access = KEY_READ | viewFlag;
  HKEY raw = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, access, &raw) != ERROR_SUCCESS)
    return false;
  nbase::ScopedRegKey list(raw);
  for (DWORD index = 0;; ++index) {
    wchar_t name[256] = {};
    DWORD name_length = 256;
    if (::RegEnumKeyExW(list.Get(), index, name, &name_length, nullptr, nullptr, nullptr,
                        nullptr) != ERROR_SUCCESS)
      return false;
    ::OutputDebugStringW(name);
    HKEY raw_entry = nullptr;
    if (::RegOpenKeyExW(list.Get(), name, 0, access, &raw_entry) != ERROR_SUCCESS) continue;
    nbase::ScopedRegKey entry(raw_entry);
    const std::wstring display_name = ReadDisplayName(entry.Get());
    if (display_name.empty()) continue;
    ::OutputDebugStringW(display_name.c_str());
    if (display_name.find(product::kProductDisplayName) != std::wstring::npos) return true;
  }
}

bool ProductIsInstalled() {
  return IsInstalledAtRecordedPath() || FindUninstallEntry(0) ||
         FindUninstallEntry(KEY_WOW64_64KEY);
}

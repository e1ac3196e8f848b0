#include "engine/Registry.h"

#include <windows.h>

#include "base/ScopedHandle.h"

namespace {

constexpr DWORD kReadBufferChars = 260;

}  // namespace

bool RegWriteString(const std::wstring& keyPath, const std::wstring& valueName,
                    const std::wstring& value) {
  const REGSAM access = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
  HKEY raw = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, access, &raw) != ERROR_SUCCESS) {
    raw = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          access, nullptr, &raw, nullptr) != ERROR_SUCCESS)
      return false;
  }
  nbase::ScopedRegKey key(raw);
  const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return ::RegSetValueExW(key.Get(), valueName.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()), bytes) == ERROR_SUCCESS;
}

std::wstring RegReadString(const std::wstring& keyPath, const std::wstring& valueName) {
  HKEY raw = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS)
    return std::wstring();
  nbase::ScopedRegKey key(raw);
  // One spare character keeps the text terminated even when the value fills
  // the buffer without a terminating zero of its own.
  wchar_t buffer[kReadBufferChars + 1] = {};
  DWORD bytes = kReadBufferChars * sizeof(wchar_t);
  if (::RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(buffer), &bytes) != ERROR_SUCCESS)
    return std::wstring();
  return std::wstring(buffer);
}

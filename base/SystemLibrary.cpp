#include "base/SystemLibrary.h"

#include <cwchar>

namespace nbase {

namespace {

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

}  // namespace

void RestrictDllSearchToSystemFolder() {
  // Looked up by name: the export is missing on systems without the update,
  // and a static import would stop the program from starting there.
  HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
  const auto set_default = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
      kernel32 ? ::GetProcAddress(kernel32, "SetDefaultDllDirectories") : nullptr));
  if (set_default && set_default(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  ::SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  if (!name || !*name || std::wcschr(name, L'\\') || std::wcschr(name, L'/')) return nullptr;
  wchar_t path[MAX_PATH];
  const UINT folder = ::GetSystemDirectoryW(path, MAX_PATH);
  const size_t length = std::wcslen(name);
  if (folder == 0 || folder + 1 + length >= MAX_PATH) return nullptr;
  path[folder] = L'\\';
  std::wmemcpy(path + folder + 1, name, length + 1);
  // LOAD_LIBRARY_SEARCH_SYSTEM32 keeps the dependencies in the system folder
  // too. Systems without the loader update reject the flag; there the altered
  // search order puts the DLL's own folder (the system folder) first instead
  // of the program's.
  if (HMODULE module = ::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
  if (::GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
  return ::LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace nbase

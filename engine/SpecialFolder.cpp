#include "engine/SpecialFolder.h"

#include <windows.h>
#include <shlobj.h>

std::wstring GetSpecialFolderPath(int csidl) {
  IMalloc* shellMalloc = nullptr;
  if (FAILED(::SHGetMalloc(&shellMalloc)) || shellMalloc == nullptr) return std::wstring();

  std::wstring result;
  LPITEMIDLIST items = nullptr;
  if (SUCCEEDED(::SHGetSpecialFolderLocation(nullptr, csidl, &items)) && items != nullptr) {
    wchar_t path[MAX_PATH] = {};
    if (::SHGetPathFromIDListW(items, path)) result = path;
    shellMalloc->Free(items);
  }
  shellMalloc->Release();
  return result;
}

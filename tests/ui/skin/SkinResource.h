// The packed skin as the test program carries it: resource 136 of type THEME.
#pragma once

#include <windows.h>

#include <string>

namespace skin_test {

inline bool LoadThemeResource(const void** data, size_t* size) {
  HRSRC info = ::FindResourceW(nullptr, MAKEINTRESOURCEW(136), L"THEME");
  if (info == nullptr) return false;
  HGLOBAL loaded = ::LoadResource(nullptr, info);
  if (loaded == nullptr) return false;
  *data = ::LockResource(loaded);
  *size = ::SizeofResource(nullptr, info);
  return *data != nullptr && *size != 0;
}

}  // namespace skin_test

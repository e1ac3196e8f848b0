#include "ui/skin/ColourTable.h"

#include <cwchar>

namespace ui {

DWORD ColourTable::ParseColourValue(const std::wstring& value) {
  if (value.size() < 2) return 0;
  return static_cast<DWORD>(std::wcstoul(value.c_str() + 1, nullptr, 16));
}

void ColourTable::Add(const std::wstring& name, const std::wstring& value) {
  if (name.empty()) return;
  colours_[name] = ParseColourValue(value);
}

DWORD ColourTable::Get(const std::wstring& name) {
  size_t start = 0;
  while (start < name.size() && name[start] == L' ') ++start;
  return colours_[start == 0 ? name : name.substr(start)];
}

}  // namespace ui

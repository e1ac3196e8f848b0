// Colour names of global.xml -> 32-bit ARGB.
#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace ui {

class ColourTable {
 public:
  // value is "#AARRGGBB": the first character is skipped, the rest read as
  // hexadecimal. An empty name is ignored; a name added again replaces the
  // earlier value.
  void Add(const std::wstring& name, const std::wstring& value);
  void Set(const std::wstring& name, DWORD argb) { colours_[name] = argb; }
  // An unknown name gives 0 (fully transparent) and is entered with that value.
  DWORD Get(const std::wstring& name);
  bool Contains(const std::wstring& name) const { return colours_.count(name) != 0; }
  size_t GetCount() const { return colours_.size(); }
  void Clear() { colours_.clear(); }

  static DWORD ParseColourValue(const std::wstring& value);

 private:
  std::map<std::wstring, DWORD> colours_;
};

}  // namespace ui

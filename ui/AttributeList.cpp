#include "ui/AttributeList.h"

#include "ui/Control.h"

namespace ui {

std::vector<std::pair<std::wstring, std::wstring>> ParseAttributeList(const std::wstring& text) {
  std::vector<std::pair<std::wstring, std::wstring>> pairs;
  const wchar_t* p = text.c_str();
  while (*p != L'\0') {
    std::wstring name;
    while (*p != L'\0' && *p != L'=') name += *p++;
    if (*p != L'=') break;
    ++p;
    if (*p != L'"') break;
    ++p;
    std::wstring value;
    while (*p != L'\0' && *p != L'"') value += *p++;
    if (*p != L'"') break;
    ++p;
    pairs.emplace_back(std::move(name), std::move(value));
    if (*p != L' ') break;
    ++p;
  }
  return pairs;
}

void ApplyAttributeList(Control* control, const std::wstring& text) {
  if (!control) return;
  for (const auto& pair : ParseAttributeList(text))
    control->ApplyAttribute(pair.first, pair.second);
}

}  // namespace ui

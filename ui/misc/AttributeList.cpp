#include "ui/misc/AttributeList.h"

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

}  // namespace ui

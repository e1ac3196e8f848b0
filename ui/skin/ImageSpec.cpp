#include "ui/skin/ImageSpec.h"

#include "ui/misc/AttributeValues.h"
#include "ui/misc/DpiState.h"

namespace ui {

void ImageSpec::Parse(const std::wstring& text, const DpiState& dpi) {
  *this = ImageSpec();
  imageString = text;
  file = text;
  ParseItems(text, dpi);
}

void ImageSpec::ApplyModifier(const std::wstring& text, const DpiState& dpi) {
  ParseItems(text, dpi);
}

void ImageSpec::ParseItems(const std::wstring& text, const DpiState& dpi) {
  const wchar_t* p = text.c_str();
  for (;;) {
    while (*p != L'\0' && *p <= L' ') ++p;
    std::wstring key;
    while (*p != L'\0' && *p != L'=' && *p > L' ') key += *p++;
    while (*p != L'\0' && *p <= L' ') ++p;
    if (*p != L'=') return;
    ++p;
    while (*p != L'\0' && *p <= L' ') ++p;
    if (*p != L'\'') return;
    ++p;
    std::wstring value;
    while (*p != L'\0' && *p != L'\'') value += *p++;
    if (*p != L'\'') return;
    ++p;
    ApplyItem(key, value, dpi);
    if (!(p[0] == L' ' && p[1] != L'\0')) return;
    ++p;
  }
}

void ImageSpec::ApplyItem(const std::wstring& key, const std::wstring& value, const DpiState& dpi) {
  if (value.empty()) return;
  if (key == L"file" || key == L"res") {
    file = value;
  } else if (key == L"destscale") {
    destScale = ParseBool(value);
  } else if (key == L"dest") {
    dest = ParseRect(value);
    if (destScale && dpi.IsAware() && dpi.GetScale() != 100) {
      // Truncated, unlike other lengths: dest 0,0,10,10 at 125 % covers 0,0,12,12.
      const LONG scale = dpi.GetScale();
      dest.left = dest.left * scale / 100;
      dest.top = dest.top * scale / 100;
      dest.right = dest.right * scale / 100;
      dest.bottom = dest.bottom * scale / 100;
    }
  } else if (key == L"source") {
    source = ParseRect(value);
  } else if (key == L"corner") {
    corner = ParseRect(value);
  } else if (key == L"fade") {
    fade = ParseInt(value);
  } else if (key == L"xtiled") {
    xtiled = ParseBool(value);
  } else if (key == L"ytiled") {
    ytiled = ParseBool(value);
  } else if (key == L"playcount") {
    playCount = ParseInt(value);
  }
}

}  // namespace ui

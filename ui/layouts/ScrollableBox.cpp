#include "ui/layouts/ScrollableBox.h"

#include "ui/misc/AttributeValues.h"

namespace ui {

bool ScrollableBox::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"vscrollbar") {
    vScrollBar_ = ParseBool(value);
  } else if (name == L"hscrollbar") {
    hScrollBar_ = ParseBool(value);
  } else if (name == L"vscrollbarstyle" || name == L"hscrollbarstyle" ||
             name == L"scrollbarpadding" || name == L"vscrollunit" || name == L"hscrollunit" ||
             name == L"scrollbarfloat" || name == L"defaultdisplayscrollbar" ||
             name == L"holdend") {
    // Scroll-bar styling: no layout of the installer draws scroll bars.
  } else {
    return Box::ApplyAttribute(name, value);
  }
  return true;
}

}  // namespace ui

#include "ui/widgets/TextDefaults.h"

#include "ui/core/UiGlobal.h"

namespace ui {

std::wstring DefaultTextColour() { return UiGlobal::GetDefaultColours().text; }

std::wstring DefaultDisabledTextColour() { return UiGlobal::GetDefaultColours().disabledText; }

std::wstring LanguageText(const std::wstring& id) { return UiGlobal::GetStringById(id); }

RECT ScaledPadding(RECT padding) {
  UiGlobal::GetDpiState().ScaleRect(&padding);
  return padding;
}

}  // namespace ui

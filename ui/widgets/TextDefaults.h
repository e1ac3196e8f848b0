// What text controls take from the toolkit's shared state, out of the Label
// template so that every widget header does not carry that state along.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

// The colour names of global.xml's default and disabled text.
std::wstring DefaultTextColour();
std::wstring DefaultDisabledTextColour();
// The language file's text of |id| ("" when it has none).
std::wstring LanguageText(const std::wstring& id);
// A padding of 96-DPI units at the toolkit's scale.
RECT ScaledPadding(RECT padding);

}  // namespace ui

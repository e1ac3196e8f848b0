// Measuring text outside painting (size estimates of labels).
#pragma once

#include <windows.h>

#include <string>

namespace ui {

// The size |text| needs in |font| with the DrawText |format|; |width| limits
// the line length when positive. Uses the render layer when one exists, GDI
// otherwise.
SIZE MeasureText(const std::wstring& text, HFONT font, UINT format, int width);

}  // namespace ui

// The shared definitions of global.xml: the default colour names that the
// Global element's attributes set, and its Font, TextColor and Class children.
#pragma once

#include <string>

namespace ui {

class ClassTable;
class ColourTable;
class DpiState;
class FontTable;
class MarkupNode;

struct DefaultColours {
  // Sets the colour an attribute of the Global element names ("defaultfontcolor",
  // "disabledfontcolor", "linkfontcolor", "linkhoverfontcolor", "selectedcolor");
  // other attributes are ignored.
  void Set(const std::wstring& attribute, const std::wstring& colourName);

  std::wstring text = L"textdefaultcolor";
  std::wstring disabledText = L"textdefaultdisablecolor";
  std::wstring link;
  std::wstring linkHover;
  std::wstring selected;
};

// Adds what a Global element defines to the tables; fonts are made at the
// DPI state's scale.
void LoadGlobalDefinitions(const MarkupNode& global, const DpiState& dpi, DefaultColours* defaults,
                           FontTable* fonts, ColourTable* colours, ClassTable* classes);

}  // namespace ui

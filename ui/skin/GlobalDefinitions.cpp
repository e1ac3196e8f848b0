#include "ui/skin/GlobalDefinitions.h"

#include "ui/misc/AttributeValues.h"
#include "ui/skin/ClassTable.h"
#include "ui/skin/ColourTable.h"
#include "ui/skin/FontTable.h"
#include "ui/skin/MarkupNode.h"

namespace ui {

void DefaultColours::Set(const std::wstring& attribute, const std::wstring& colourName) {
  if (attribute == L"disabledfontcolor") {
    disabledText = colourName;
  } else if (attribute == L"defaultfontcolor") {
    text = colourName;
  } else if (attribute == L"linkfontcolor") {
    link = colourName;
  } else if (attribute == L"linkhoverfontcolor") {
    linkHover = colourName;
  } else if (attribute == L"selectedcolor") {
    selected = colourName;
  }
}

void LoadGlobalDefinitions(const MarkupNode& global, const DpiState& dpi, DefaultColours* defaults,
                           FontTable* fonts, ColourTable* colours, ClassTable* classes) {
  for (size_t i = 0; i < global.GetAttributeCount(); ++i) {
    defaults->Set(global.GetAttributeName(i), global.GetAttributeValueAt(i));
  }
  for (MarkupNode node = global.GetChild(); node.IsValid(); node = node.GetSibling()) {
    const std::wstring name = node.GetName();
    if (name == L"Font") {
      const std::wstring face = node.GetAttributeValue(L"name");
      if (face.empty()) continue;
      const int size = node.HasAttribute(L"size") ? ParseInt(node.GetAttributeValue(L"size")) : 12;
      fonts->Add(face, size, ParseBool(node.GetAttributeValue(L"bold")),
                 ParseBool(node.GetAttributeValue(L"underline")),
                 ParseBool(node.GetAttributeValue(L"italic")), dpi);
    } else if (name == L"TextColor") {
      colours->Add(node.GetAttributeValue(L"name"), node.GetAttributeValue(L"value"));
    } else if (name == L"Class") {
      const std::wstring className = node.GetAttributeValue(L"name");
      if (!className.empty()) classes->Add(className, node.GetAttributeValue(L"value"));
    }
  }
}

}  // namespace ui

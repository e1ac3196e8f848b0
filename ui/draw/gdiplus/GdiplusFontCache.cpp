#include "ui/draw/gdiplus/GdiplusFontCache.h"

namespace ui {

Gdiplus::Font* GdiplusFontCache::Get(const std::wstring& face, Gdiplus::REAL emPixels, INT style) {
  Key key(face, emPixels, style);
  const auto found = fonts_.find(key);
  if (found != fonts_.end()) return found->second.get();
  std::unique_ptr<Gdiplus::Font> font;
  if (!face.empty()) {
    const Gdiplus::FontFamily family(face.c_str());
    if (family.GetLastStatus() == Gdiplus::Ok) {
      font = std::make_unique<Gdiplus::Font>(&family, emPixels, style, Gdiplus::UnitPixel);
      if (font->GetLastStatus() != Gdiplus::Ok) font.reset();
    }
  }
  Gdiplus::Font* const result = font.get();
  fonts_.emplace(std::move(key), std::move(font));
  return result;
}

}  // namespace ui

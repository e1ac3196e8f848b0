// GDI+ fonts kept for reuse. Creating a GDI+ font family by name makes the platform look the
// family up among the installed fonts (under Wine a scan of them all), so each (face, size,
// style) is created once and then shared by every draw and measure.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>

namespace ui {

class GdiplusFontCache {
 public:
  GdiplusFontCache() = default;
  GdiplusFontCache(const GdiplusFontCache&) = delete;
  GdiplusFontCache& operator=(const GdiplusFontCache&) = delete;

  // The font of that face, em size in pixels and style, or nullptr when GDI+ cannot make one
  // (an unknown face); a face that failed is not tried again.
  Gdiplus::Font* Get(const std::wstring& face, Gdiplus::REAL emPixels, INT style);

 private:
  using Key = std::tuple<std::wstring, Gdiplus::REAL, INT>;
  std::map<Key, std::unique_ptr<Gdiplus::Font>> fonts_;
};

}  // namespace ui

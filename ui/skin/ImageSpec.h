// How a control draws one image: the file and the items of its image string.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class DpiState;

struct ImageSpec {
  std::wstring imageString;  // as written
  std::wstring file;
  bool destScale = true;           // whether a dest read after this point is scaled
  RECT dest = {-1, -1, -1, -1};    // relative to the control; unset: the whole control
  RECT source = {-1, -1, -1, -1};  // part of the bitmap; unset: the whole bitmap
  RECT corner = {0, 0, 0, 0};      // nine-grid borders in bitmap pixels
  int fade = 255;
  bool xtiled = false;
  bool ytiled = false;
  int playCount = -1;

  // A rectangle counts as set when none of its numbers is the unset marker.
  static bool IsSet(const RECT& rc) {
    return rc.left != -1 && rc.top != -1 && rc.right != -1 && rc.bottom != -1;
  }

  // Parses an image string: either a plain file name, or key='value' items
  // separated by one space ("file='a.png' corner='8,8,8,8'"). Starts from the
  // defaults.
  void Parse(const std::wstring& text, const DpiState& dpi);
  // Applies the items of a modifier string on top of this spec; the file stays
  // unless the modifier names one.
  void ApplyModifier(const std::wstring& text, const DpiState& dpi);

 private:
  void ParseItems(const std::wstring& text, const DpiState& dpi);
  void ApplyItem(const std::wstring& key, const std::wstring& value, const DpiState& dpi);
};

}  // namespace ui

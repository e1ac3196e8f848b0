// Small helpers over Win32 rectangles and sizes, shared by layouts and
// painting.
#pragma once

#include <windows.h>

namespace ui {

// Special values of a control's fixed width or height.
constexpr int kLengthStretch = -1;  // take the space the container offers
constexpr int kLengthAuto = -2;     // size to content
constexpr int kMaxLength = 9999999;

inline int RectWidth(const RECT& rc) { return rc.right - rc.left; }
inline int RectHeight(const RECT& rc) { return rc.bottom - rc.top; }
inline RECT MakeRect(int left, int top, int right, int bottom) {
  RECT rc = {left, top, right, bottom};
  return rc;
}
inline SIZE MakeSize(int cx, int cy) {
  SIZE sz = {cx, cy};
  return sz;
}
inline bool RectEquals(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
// The rectangle less an inset on each side (padding, margins).
inline RECT DeflateRect(const RECT& rc, const RECT& inset) {
  return MakeRect(rc.left + inset.left, rc.top + inset.top, rc.right - inset.right,
                  rc.bottom - inset.bottom);
}
// Keeps a length within a control's bounds; a negative bound means none.
inline int ClampLength(int value, int low, int high) {
  if (low >= 0 && value < low) value = low;
  if (high >= 0 && value > high) value = high;
  return value;
}
// Whether |inner| lies wholly inside |outer| (an empty |outer| contains nothing).
inline bool RectContains(const RECT& outer, const RECT& inner) {
  return outer.left < outer.right && outer.top < outer.bottom && inner.left >= outer.left &&
         inner.top >= outer.top && inner.right <= outer.right && inner.bottom <= outer.bottom;
}
inline bool PointInRect(const RECT& rc, const POINT& pt) {
  return pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom;
}

}  // namespace ui

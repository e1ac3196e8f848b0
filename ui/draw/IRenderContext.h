// The surface a window paints its controls into: a 32-bit off-screen bitmap with per-pixel
// alpha that a layered window hands to UpdateLayeredWindow as it is.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class IBitmap;
class IBrush;
class IPath;
class IPen;

class IRenderContext {
 public:
  virtual ~IRenderContext() = default;

  // Recreates the bitmap at the new size; its contents are cleared. False when the size is
  // empty or the bitmap cannot be made.
  virtual bool Resize(int width, int height) = 0;
  virtual int GetWidth() const = 0;
  virtual int GetHeight() const = 0;
  virtual IBitmap* GetBitmap() = 0;
  // A memory DC with the bitmap selected, in device pixels (the window origin is not applied);
  // for GDI-only drawing (see BeginGdiDrawing).
  virtual HDC GetDC() const = 0;

  // A layered target keeps per-pixel alpha when images are drawn (see DrawImage).
  virtual void SetLayered(bool layered) = 0;
  virtual bool IsLayered() const = 0;

  // Makes every pixel, or those of one rectangle, transparent black. Ignores the clip.
  virtual void Clear() = 0;
  virtual void ClearRect(const RECT& rect) = 0;

  // The window origin: every coordinate given to this context is shifted by -origin before it
  // reaches the bitmap. Offset returns the previous origin so that the caller can put it back.
  virtual POINT OffsetWindowOrg(const POINT& delta) = 0;
  virtual POINT SetWindowOrg(const POINT& origin) = 0;
  virtual POINT GetWindowOrg() const = 0;

  // Clip stack: each push intersects with the clip in force; pop restores the previous one.
  // Use AutoClip instead of calling these in pairs by hand.
  virtual void PushClip(const RECT& rect) = 0;
  virtual void PushRoundClip(const RECT& rect, int roundWidth, int roundHeight) = 0;
  virtual void PopClip() = 0;
  // The clip in force in context coordinates; the whole bitmap when nothing is pushed.
  virtual RECT GetClipBounds() const = 0;

  // Colours are 32-bit ARGB (alpha in the top byte); alpha 0 draws nothing.
  virtual void FillRect(const RECT& rect, DWORD argb) = 0;
  virtual void DrawLine(const POINT& from, const POINT& to, int width, DWORD argb) = 0;
  virtual void DrawRect(const RECT& rect, int width, DWORD argb) = 0;
  virtual void DrawRoundRect(const RECT& rect, const SIZE& round, int width, DWORD argb) = 0;
  virtual void FillRoundRect(const RECT& rect, const SIZE& round, DWORD argb) = 0;
  virtual void DrawPath(const IPath& path, const IPen& pen) = 0;
  virtual void FillPath(const IPath& path, const IBrush& brush) = 0;

  // Draws part of a bitmap as a nine-grid. source is the part of the bitmap to use and dest
  // where it goes; sourceCorner are the border widths in bitmap pixels and destCorner the
  // same borders at their drawn (DPI-scaled) size. The middle is stretched, or repeated when
  // xtiled / ytiled (the last tile cut at the right or bottom edge); the edges are stretched
  // along their length; the corners are drawn at their destination size. Each piece is
  // alpha-blended with constant alpha fade, using per-pixel alpha when the target is layered,
  // the bitmap has alpha, fade is below 255 or the piece is not resized; otherwise it is
  // stretched opaquely (halftone). Nothing is drawn outside paintRect or the clip.
  virtual void DrawImage(const RECT& paintRect, IBitmap& bitmap, const RECT& dest,
                         const RECT& destCorner, const RECT& source, const RECT& sourceCorner,
                         BYTE fade = 255, bool xtiled = false, bool ytiled = false) = 0;

  // Text in the given font and colour; format takes the DrawText flags DT_LEFT, DT_CENTER,
  // DT_RIGHT, DT_TOP, DT_VCENTER, DT_BOTTOM, DT_SINGLELINE, DT_END_ELLIPSIS, DT_NOCLIP,
  // DT_WORDBREAK (implied when DT_SINGLELINE is absent). Anti-aliased with correct alpha.
  virtual void DrawText(const RECT& rect, const std::wstring& text, DWORD argb, HFONT font,
                        UINT format) = 0;
  // The size the text needs in that font and format; width limits the line length when it is
  // positive (multi-line text then wraps), otherwise lines are unlimited.
  virtual SIZE MeasureText(const std::wstring& text, HFONT font, UINT format, int width = -1) = 0;

  // GDI writes zero alpha into the pixels it touches. Wrap GDI drawing into GetDC() (a
  // windowless rich edit, for example) in these two calls: the pixels of rect that GDI
  // touched become opaque, all others keep their alpha. Not nested.
  virtual void BeginGdiDrawing(const RECT& rect) = 0;
  virtual void EndGdiDrawing() = 0;
};

}  // namespace ui

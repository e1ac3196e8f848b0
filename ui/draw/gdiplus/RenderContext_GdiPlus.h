// IRenderContext over a 32-bit DIB section: GDI for image blits (AlphaBlend, halftone
// StretchBlt), GDI+ on the same pixels for shapes and anti-aliased text.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <vector>

#include "ui/draw/GdiBitmap.h"
#include "ui/draw/GdiClip.h"
#include "ui/draw/gdiplus/GdiplusFontCache.h"
#include "ui/draw/IRenderContext.h"

namespace ui {

class RenderContext_GdiPlus : public IRenderContext {
 public:
  RenderContext_GdiPlus();
  ~RenderContext_GdiPlus() override;
  RenderContext_GdiPlus(const RenderContext_GdiPlus&) = delete;
  RenderContext_GdiPlus& operator=(const RenderContext_GdiPlus&) = delete;

  bool Resize(int width, int height) override;
  int GetWidth() const override { return bitmap_.GetWidth(); }
  int GetHeight() const override { return bitmap_.GetHeight(); }
  IBitmap* GetBitmap() override { return &bitmap_; }
  HDC GetDC() const override { return dc_; }

  void SetLayered(bool layered) override { layered_ = layered; }
  bool IsLayered() const override { return layered_; }

  void Clear() override;
  void ClearRect(const RECT& rect) override;

  POINT OffsetWindowOrg(const POINT& delta) override;
  POINT SetWindowOrg(const POINT& origin) override;
  POINT GetWindowOrg() const override { return origin_; }

  void PushClip(const RECT& rect) override;
  void PushRoundClip(const RECT& rect, int roundWidth, int roundHeight) override;
  void PopClip() override;
  RECT GetClipBounds() const override;

  void FillRect(const RECT& rect, DWORD argb) override;
  void DrawLine(const POINT& from, const POINT& to, int width, DWORD argb) override;
  void DrawRect(const RECT& rect, int width, DWORD argb) override;
  void DrawRoundRect(const RECT& rect, const SIZE& round, int width, DWORD argb) override;
  void FillRoundRect(const RECT& rect, const SIZE& round, DWORD argb) override;
  void DrawPath(const IPath& path, const IPen& pen) override;
  void FillPath(const IPath& path, const IBrush& brush) override;

  void DrawImage(const RECT& paintRect, IBitmap& bitmap, const RECT& dest, const RECT& destCorner,
                 const RECT& source, const RECT& sourceCorner, BYTE fade = 255, bool xtiled = false,
                 bool ytiled = false) override;

  void DrawText(const RECT& rect, const std::wstring& text, DWORD argb, HFONT font,
                UINT format) override;
  SIZE MeasureText(const std::wstring& text, HFONT font, UINT format, int width = -1) override;

  void BeginGdiDrawing(const RECT& rect) override;
  void EndGdiDrawing() override;

 private:
  // Makes sure a surface exists (1 x 1 until the first Resize) so that text can be measured.
  bool EnsureSurface();
  void ReleaseSurface();
  // GDI+ works in device pixels: context coordinates less the window origin.
  RECT ToDevice(const RECT& rect) const;
  Gdiplus::Rect ToGdiplusRect(const RECT& rect) const;
  void ApplyClip();
  void PushClipObject(std::unique_ptr<GdiClip> clip);
  // Hands the pixels over between GDI and GDI+ (each may batch its writes).
  void BeforeGdiPlus() const;
  void AfterGdiPlus() const;
  void DrawImagePiece(HDC sourceDc, IBitmap& bitmap, const RECT& dest, const RECT& source,
                      BYTE fade);

  GdiBitmap bitmap_;
  HDC dc_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  std::unique_ptr<Gdiplus::Bitmap> surface_;
  std::unique_ptr<Gdiplus::Graphics> graphics_;
  POINT origin_ = {0, 0};
  std::vector<std::unique_ptr<GdiClip>> clips_;
  bool layered_ = true;
  // The fonts of this context's draws and measures, each made once.
  GdiplusFontCache fonts_;

  // BeginGdiDrawing / EndGdiDrawing state.
  RECT gdiRect_ = {0, 0, 0, 0};
  std::vector<BYTE> savedAlpha_;
  bool inGdiDrawing_ = false;
};

}  // namespace ui

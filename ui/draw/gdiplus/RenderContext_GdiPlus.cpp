#include "ui/draw/gdiplus/RenderContext_GdiPlus.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/ScopedHandle.h"
#include "ui/draw/gdiplus/Brush_Gdiplus.h"
#include "ui/draw/gdiplus/GdiplusFontCache.h"
#include "ui/draw/gdiplus/Path_Gdiplus.h"
#include "ui/draw/gdiplus/Pen_GdiPlus.h"

namespace ui {

namespace {

bool IsEmptyRect(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

int Width(const RECT& rect) { return rect.right - rect.left; }
int Height(const RECT& rect) { return rect.bottom - rect.top; }

// Translates DrawText flags into a GDI+ string format.
void ApplyTextFormat(UINT format, Gdiplus::StringFormat* stringFormat) {
  if (format & DT_CENTER) {
    stringFormat->SetAlignment(Gdiplus::StringAlignmentCenter);
  } else if (format & DT_RIGHT) {
    stringFormat->SetAlignment(Gdiplus::StringAlignmentFar);
  } else {
    stringFormat->SetAlignment(Gdiplus::StringAlignmentNear);
  }
  if (format & DT_VCENTER) {
    stringFormat->SetLineAlignment(Gdiplus::StringAlignmentCenter);
  } else if (format & DT_BOTTOM) {
    stringFormat->SetLineAlignment(Gdiplus::StringAlignmentFar);
  } else {
    stringFormat->SetLineAlignment(Gdiplus::StringAlignmentNear);
  }
  INT flags = 0;
  if (format & DT_SINGLELINE) flags |= Gdiplus::StringFormatFlagsNoWrap;
  if (format & DT_NOCLIP) flags |= Gdiplus::StringFormatFlagsNoClip;
  stringFormat->SetFormatFlags(flags);
  stringFormat->SetTrimming((format & DT_END_ELLIPSIS) ? Gdiplus::StringTrimmingEllipsisCharacter
                                                       : Gdiplus::StringTrimmingNone);
  stringFormat->SetHotkeyPrefix(Gdiplus::HotkeyPrefixNone);
}

HFONT FontOrDefault(HFONT font) {
  return font ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

// A string format for DrawText flags. Typographic: no extra space around the text (the generic
// default format pads each side by a sixth of the font size, which would let a text that fits
// its control on paper be cut or ellipsised).
std::unique_ptr<Gdiplus::StringFormat> MakeStringFormat(UINT format) {
  auto stringFormat =
      std::make_unique<Gdiplus::StringFormat>(Gdiplus::StringFormat::GenericTypographic());
  ApplyTextFormat(format, stringFormat.get());
  return stringFormat;
}

// Faces tried, in order, for text the control's own face has no glyphs for (Chinese text in
// an Arial font): GDI+ draws such characters as boxes instead of borrowing them elsewhere.
const wchar_t* const kFallbackFaces[] = {L"微软雅黑", L"新宋体", L"Microsoft YaHei", L"SimSun"};

// Whether the font selected into dc has a glyph for every printable character of text.
bool FaceCoversText(HDC dc, const std::wstring& text) {
  std::wstring printable;
  printable.reserve(text.size());
  for (wchar_t ch : text) {
    if (ch >= 0x20) printable.push_back(ch);
  }
  if (printable.empty()) return true;
  std::vector<WORD> glyphs(printable.size());
  if (::GetGlyphIndicesW(dc, printable.c_str(), static_cast<int>(printable.size()), glyphs.data(),
                         GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) {
    return true;  // cannot tell: keep the font as it is
  }
  return std::find(glyphs.begin(), glyphs.end(), static_cast<WORD>(0xFFFF)) == glyphs.end();
}

// The face GDI actually picks for a font (after the system's substitutes).
std::wstring SelectedFace(HDC dc) {
  wchar_t face[LF_FACESIZE] = {};
  ::GetTextFaceW(dc, LF_FACESIZE, face);
  return face;
}

// A face that can draw text in place of one that cannot; empty when none of the fallback
// faces can either.
std::wstring FallbackFace(HDC dc, const LOGFONTW& original, const std::wstring& text) {
  for (const wchar_t* candidate : kFallbackFaces) {
    LOGFONTW logFont = original;
    ::lstrcpynW(logFont.lfFaceName, candidate, LF_FACESIZE);
    logFont.lfCharSet = DEFAULT_CHARSET;
    nbase::ScopedGdiObject font(::CreateFontIndirectW(&logFont));
    if (!font) continue;
    HGDIOBJ old = ::SelectObject(dc, font.Get());
    const std::wstring face = SelectedFace(dc);
    const bool covers = FaceCoversText(dc, text);
    ::SelectObject(dc, old);
    if (covers && !face.empty()) return face;
  }
  return std::wstring();
}

// The GDI+ font for a GDI font and the text it is to draw. GDI+ looks a family up by its name
// only and knows nothing of the system's font substitutes, so the face GDI actually picked for
// the font is used; when that face lacks glyphs of the text, a face that has them. The font
// comes from the cache; only a font GDI+ cannot name is made here, into *uncached.
Gdiplus::Font* ResolveGdiplusFont(HDC dc, HFONT font, const std::wstring& text,
                                  GdiplusFontCache* cache,
                                  std::unique_ptr<Gdiplus::Font>* uncached) {
  font = FontOrDefault(font);
  LOGFONTW logFont = {};
  ::GetObjectW(font, sizeof(logFont), &logFont);
  HGDIOBJ old = ::SelectObject(dc, font);
  std::wstring face = SelectedFace(dc);
  TEXTMETRICW metrics = {};
  ::GetTextMetricsW(dc, &metrics);
  const bool covers = FaceCoversText(dc, text);
  ::SelectObject(dc, old);
  if (!covers) {
    const std::wstring fallback = FallbackFace(dc, logFont, text);
    if (!fallback.empty()) face = fallback;
  }

  Gdiplus::REAL em = static_cast<Gdiplus::REAL>(metrics.tmHeight - metrics.tmInternalLeading);
  if (logFont.lfHeight < 0) em = static_cast<Gdiplus::REAL>(-logFont.lfHeight);
  INT style = Gdiplus::FontStyleRegular;
  if (logFont.lfWeight >= FW_SEMIBOLD) style |= Gdiplus::FontStyleBold;
  if (logFont.lfItalic) style |= Gdiplus::FontStyleItalic;
  if (logFont.lfUnderline) style |= Gdiplus::FontStyleUnderline;
  if (Gdiplus::Font* cached = cache->Get(face, em, style)) return cached;
  *uncached = std::make_unique<Gdiplus::Font>(dc, font);
  return uncached->get();
}

}  // namespace

RenderContext_GdiPlus::RenderContext_GdiPlus() : dc_(::CreateCompatibleDC(nullptr)) {
  if (dc_) ::SetBkMode(dc_, TRANSPARENT);
}

RenderContext_GdiPlus::~RenderContext_GdiPlus() {
  ReleaseSurface();
  if (dc_) ::DeleteDC(dc_);
}

void RenderContext_GdiPlus::ReleaseSurface() {
  graphics_.reset();
  surface_.reset();
  clips_.clear();
  if (dc_) ::SelectClipRgn(dc_, nullptr);
  if (dc_ && oldBitmap_) {
    ::SelectObject(dc_, oldBitmap_);
    oldBitmap_ = nullptr;
  }
  bitmap_.Reset();
  inGdiDrawing_ = false;
}

bool RenderContext_GdiPlus::Resize(int width, int height) {
  if (width == GetWidth() && height == GetHeight() && graphics_) {
    Clear();
    return true;
  }
  ReleaseSurface();
  if (!dc_ || !bitmap_.Init(width, height)) return false;
  oldBitmap_ = ::SelectObject(dc_, bitmap_.GetHBitmap());
  surface_ = std::make_unique<Gdiplus::Bitmap>(width, height, width * 4, PixelFormat32bppPARGB,
                                               static_cast<BYTE*>(bitmap_.GetBits()));
  if (surface_->GetLastStatus() != Gdiplus::Ok) {
    ReleaseSurface();
    return false;
  }
  graphics_ = std::make_unique<Gdiplus::Graphics>(surface_.get());
  if (graphics_->GetLastStatus() != Gdiplus::Ok) {
    ReleaseSurface();
    return false;
  }
  // Sub-pixel (ClearType) text cannot carry alpha; grey anti-aliasing can.
  graphics_->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
  return true;
}

bool RenderContext_GdiPlus::EnsureSurface() { return graphics_ || Resize(1, 1); }

void RenderContext_GdiPlus::BeforeGdiPlus() const { ::GdiFlush(); }

void RenderContext_GdiPlus::AfterGdiPlus() const {
  if (graphics_) graphics_->Flush(Gdiplus::FlushIntentionSync);
}

RECT RenderContext_GdiPlus::ToDevice(const RECT& rect) const {
  RECT device = rect;
  ::OffsetRect(&device, -origin_.x, -origin_.y);
  return device;
}

Gdiplus::Rect RenderContext_GdiPlus::ToGdiplusRect(const RECT& rect) const {
  const RECT device = ToDevice(rect);
  return Gdiplus::Rect(device.left, device.top, Width(device), Height(device));
}

void RenderContext_GdiPlus::Clear() {
  AfterGdiPlus();
  bitmap_.Clear();
}

void RenderContext_GdiPlus::ClearRect(const RECT& rect) {
  if (!bitmap_.GetBits()) return;
  RECT device = ToDevice(rect);
  const RECT whole = {0, 0, GetWidth(), GetHeight()};
  if (!::IntersectRect(&device, &device, &whole)) return;
  AfterGdiPlus();
  ::GdiFlush();
  auto* bits = static_cast<BYTE*>(bitmap_.GetBits());
  const size_t rowBytes = static_cast<size_t>(Width(device)) * 4;
  for (int y = device.top; y < device.bottom; ++y) {
    std::memset(bits + (static_cast<size_t>(y) * GetWidth() + device.left) * 4, 0, rowBytes);
  }
}

POINT RenderContext_GdiPlus::OffsetWindowOrg(const POINT& delta) {
  const POINT previous = origin_;
  origin_.x += delta.x;
  origin_.y += delta.y;
  return previous;
}

POINT RenderContext_GdiPlus::SetWindowOrg(const POINT& origin) {
  const POINT previous = origin_;
  origin_ = origin;
  return previous;
}

void RenderContext_GdiPlus::PushClip(const RECT& rect) {
  auto clip = std::make_unique<GdiClip>();
  clip->SetRect(ToDevice(rect));
  PushClipObject(std::move(clip));
}

void RenderContext_GdiPlus::PushRoundClip(const RECT& rect, int roundWidth, int roundHeight) {
  auto clip = std::make_unique<GdiClip>();
  clip->SetRoundRect(ToDevice(rect), roundWidth, roundHeight);
  PushClipObject(std::move(clip));
}

void RenderContext_GdiPlus::PushClipObject(std::unique_ptr<GdiClip> clip) {
  if (!clips_.empty()) clip->Intersect(*clips_.back());
  clips_.push_back(std::move(clip));
  ApplyClip();
}

void RenderContext_GdiPlus::PopClip() {
  if (clips_.empty()) return;
  clips_.pop_back();
  ApplyClip();
}

void RenderContext_GdiPlus::ApplyClip() {
  if (!dc_) return;
  AfterGdiPlus();
  if (clips_.empty()) {
    ::SelectClipRgn(dc_, nullptr);
    if (graphics_) graphics_->ResetClip();
    return;
  }
  const GdiClip& top = *clips_.back();
  ::SelectClipRgn(dc_, top.GetRegion());
  if (!graphics_) return;
  if (top.IsRectangle()) {
    const RECT bounds = top.GetBounds();
    graphics_->SetClip(Gdiplus::Rect(bounds.left, bounds.top, Width(bounds), Height(bounds)));
  } else {
    Gdiplus::Region region(top.GetRegion());
    graphics_->SetClip(&region);
  }
}

RECT RenderContext_GdiPlus::GetClipBounds() const {
  RECT bounds = {0, 0, GetWidth(), GetHeight()};
  if (!clips_.empty()) bounds = clips_.back()->GetBounds();
  ::OffsetRect(&bounds, origin_.x, origin_.y);
  return bounds;
}

void RenderContext_GdiPlus::FillRect(const RECT& rect, DWORD argb) {
  if ((argb >> 24) == 0 || IsEmptyRect(rect) || !EnsureSurface()) return;
  BeforeGdiPlus();
  Gdiplus::SolidBrush brush{Gdiplus::Color(argb)};
  graphics_->FillRectangle(&brush, ToGdiplusRect(rect));
  AfterGdiPlus();
}

void RenderContext_GdiPlus::DrawLine(const POINT& from, const POINT& to, int width, DWORD argb) {
  if ((argb >> 24) == 0 || width <= 0 || !EnsureSurface()) return;
  BeforeGdiPlus();
  Gdiplus::Pen pen(Gdiplus::Color(argb), static_cast<Gdiplus::REAL>(width));
  graphics_->DrawLine(&pen, Gdiplus::Point(from.x - origin_.x, from.y - origin_.y),
                      Gdiplus::Point(to.x - origin_.x, to.y - origin_.y));
  AfterGdiPlus();
}

void RenderContext_GdiPlus::DrawRect(const RECT& rect, int width, DWORD argb) {
  if ((argb >> 24) == 0 || width <= 0 || IsEmptyRect(rect) || !EnsureSurface()) return;
  BeforeGdiPlus();
  // The border lies inside the rectangle: GDI+ centres strokes on the outline.
  const RECT device = ToDevice(rect);
  const Gdiplus::REAL half = width / 2.0f;
  Gdiplus::Pen pen(Gdiplus::Color(argb), static_cast<Gdiplus::REAL>(width));
  graphics_->DrawRectangle(&pen,
                           Gdiplus::RectF(device.left + half, device.top + half,
                                          Width(device) - static_cast<Gdiplus::REAL>(width),
                                          Height(device) - static_cast<Gdiplus::REAL>(width)));
  AfterGdiPlus();
}

void RenderContext_GdiPlus::DrawRoundRect(const RECT& rect, const SIZE& round, int width,
                                          DWORD argb) {
  if ((argb >> 24) == 0 || width <= 0 || IsEmptyRect(rect) || !EnsureSurface()) return;
  Path_Gdiplus path;
  RECT inner = ToDevice(rect);
  ::InflateRect(&inner, -(width / 2), -(width / 2));
  inner.right -= 1;
  inner.bottom -= 1;
  path.AddRoundRect(inner, round.cx, round.cy);
  BeforeGdiPlus();
  Gdiplus::Pen pen(Gdiplus::Color(argb), static_cast<Gdiplus::REAL>(width));
  graphics_->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  graphics_->DrawPath(&pen, path.GetPath());
  graphics_->SetSmoothingMode(Gdiplus::SmoothingModeNone);
  AfterGdiPlus();
}

void RenderContext_GdiPlus::FillRoundRect(const RECT& rect, const SIZE& round, DWORD argb) {
  if ((argb >> 24) == 0 || IsEmptyRect(rect) || !EnsureSurface()) return;
  Path_Gdiplus path;
  path.AddRoundRect(ToDevice(rect), round.cx, round.cy);
  BeforeGdiPlus();
  Gdiplus::SolidBrush brush{Gdiplus::Color(argb)};
  graphics_->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  graphics_->FillPath(&brush, path.GetPath());
  graphics_->SetSmoothingMode(Gdiplus::SmoothingModeNone);
  AfterGdiPlus();
}

void RenderContext_GdiPlus::DrawPath(const IPath& path, const IPen& pen) {
  const auto* gdipPath = dynamic_cast<const Path_Gdiplus*>(&path);
  const auto* gdipPen = dynamic_cast<const Pen_GdiPlus*>(&pen);
  if (!gdipPath || !gdipPen || !EnsureSurface()) return;
  std::unique_ptr<Gdiplus::GraphicsPath> device(gdipPath->GetPath()->Clone());
  if (!device) return;
  Gdiplus::Matrix shift(1, 0, 0, 1, static_cast<Gdiplus::REAL>(-origin_.x),
                        static_cast<Gdiplus::REAL>(-origin_.y));
  device->Transform(&shift);
  BeforeGdiPlus();
  graphics_->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  graphics_->DrawPath(gdipPen->GetPen(), device.get());
  graphics_->SetSmoothingMode(Gdiplus::SmoothingModeNone);
  AfterGdiPlus();
}

void RenderContext_GdiPlus::FillPath(const IPath& path, const IBrush& brush) {
  const auto* gdipPath = dynamic_cast<const Path_Gdiplus*>(&path);
  const auto* gdipBrush = dynamic_cast<const Brush_Gdiplus*>(&brush);
  if (!gdipPath || !gdipBrush || !EnsureSurface()) return;
  std::unique_ptr<Gdiplus::GraphicsPath> device(gdipPath->GetPath()->Clone());
  if (!device) return;
  Gdiplus::Matrix shift(1, 0, 0, 1, static_cast<Gdiplus::REAL>(-origin_.x),
                        static_cast<Gdiplus::REAL>(-origin_.y));
  device->Transform(&shift);
  BeforeGdiPlus();
  graphics_->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  graphics_->FillPath(gdipBrush->GetBrush(), device.get());
  graphics_->SetSmoothingMode(Gdiplus::SmoothingModeNone);
  AfterGdiPlus();
}

void RenderContext_GdiPlus::DrawImagePiece(HDC sourceDc, IBitmap& bitmap, const RECT& piece,
                                           const RECT& source, BYTE fade) {
  if (IsEmptyRect(piece) || IsEmptyRect(source)) return;
  const RECT dest = ToDevice(piece);
  const bool resized = Width(dest) != Width(source) || Height(dest) != Height(source);
  if (layered_ || bitmap.HasAlpha() || fade < 255 || !resized) {
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, fade, AC_SRC_ALPHA};
    ::AlphaBlend(dc_, dest.left, dest.top, Width(dest), Height(dest), sourceDc, source.left,
                 source.top, Width(source), Height(source), blend);
  } else {
    ::StretchBlt(dc_, dest.left, dest.top, Width(dest), Height(dest), sourceDc, source.left,
                 source.top, Width(source), Height(source), SRCCOPY);
  }
}

void RenderContext_GdiPlus::DrawImage(const RECT& paintRect, IBitmap& bitmap, const RECT& dest,
                                      const RECT& destCorner, const RECT& source,
                                      const RECT& sourceCorner, BYTE fade, bool xtiled,
                                      bool ytiled) {
  if (!bitmap.GetHBitmap() || fade == 0 || !EnsureSurface()) return;
  RECT visible;
  if (!::IntersectRect(&visible, &paintRect, &dest)) return;

  const RECT whole = {0, 0, bitmap.GetWidth(), bitmap.GetHeight()};
  RECT src = source;
  if (IsEmptyRect(src)) src = whole;
  if (!::IntersectRect(&src, &src, &whole)) return;

  PushClip(paintRect);
  HDC sourceDc = ::CreateCompatibleDC(dc_);
  if (!sourceDc) {
    PopClip();
    return;
  }
  HGDIOBJ oldSource = ::SelectObject(sourceDc, bitmap.GetHBitmap());
  ::SetStretchBltMode(dc_, HALFTONE);
  ::SetBrushOrgEx(dc_, 0, 0, nullptr);

  const RECT& d = dest;
  const RECT& dc = destCorner;
  const RECT& sc = sourceCorner;
  auto draw = [&](const RECT& to, const RECT& from) {
    RECT hit;
    if (::IntersectRect(&hit, &to, &visible)) DrawImagePiece(sourceDc, bitmap, to, from, fade);
  };

  // Middle: stretched, or repeated at its source size along the tiled axes.
  const RECT midDest = {d.left + dc.left, d.top + dc.top, d.right - dc.right, d.bottom - dc.bottom};
  const RECT midSource = {src.left + sc.left, src.top + sc.top, src.right - sc.right,
                          src.bottom - sc.bottom};
  if (!IsEmptyRect(midDest) && !IsEmptyRect(midSource)) {
    if (!xtiled && !ytiled) {
      draw(midDest, midSource);
    } else {
      const int tileWidth = xtiled ? Width(midSource) : Width(midDest);
      const int tileHeight = ytiled ? Height(midSource) : Height(midDest);
      for (int y = midDest.top; y < midDest.bottom; y += tileHeight) {
        const int h = std::min(tileHeight, static_cast<int>(midDest.bottom - y));
        const int sourceH = ytiled ? h : Height(midSource);
        if (y + h <= visible.top || y >= visible.bottom) continue;
        for (int x = midDest.left; x < midDest.right; x += tileWidth) {
          const int w = std::min(tileWidth, static_cast<int>(midDest.right - x));
          const int sourceW = xtiled ? w : Width(midSource);
          draw(RECT{x, y, x + w, y + h}, RECT{midSource.left, midSource.top,
                                              midSource.left + sourceW, midSource.top + sourceH});
        }
      }
    }
  }
  // Edges, stretched along their length.
  draw(RECT{d.left, d.top + dc.top, d.left + dc.left, d.bottom - dc.bottom},
       RECT{src.left, src.top + sc.top, src.left + sc.left, src.bottom - sc.bottom});
  draw(RECT{d.left + dc.left, d.top, d.right - dc.right, d.top + dc.top},
       RECT{src.left + sc.left, src.top, src.right - sc.right, src.top + sc.top});
  draw(RECT{d.right - dc.right, d.top + dc.top, d.right, d.bottom - dc.bottom},
       RECT{src.right - sc.right, src.top + sc.top, src.right, src.bottom - sc.bottom});
  draw(RECT{d.left + dc.left, d.bottom - dc.bottom, d.right - dc.right, d.bottom},
       RECT{src.left + sc.left, src.bottom - sc.bottom, src.right - sc.right, src.bottom});
  // Corners.
  draw(RECT{d.left, d.top, d.left + dc.left, d.top + dc.top},
       RECT{src.left, src.top, src.left + sc.left, src.top + sc.top});
  draw(RECT{d.right - dc.right, d.top, d.right, d.top + dc.top},
       RECT{src.right - sc.right, src.top, src.right, src.top + sc.top});
  draw(RECT{d.left, d.bottom - dc.bottom, d.left + dc.left, d.bottom},
       RECT{src.left, src.bottom - sc.bottom, src.left + sc.left, src.bottom});
  draw(RECT{d.right - dc.right, d.bottom - dc.bottom, d.right, d.bottom},
       RECT{src.right - sc.right, src.bottom - sc.bottom, src.right, src.bottom});

  ::SelectObject(sourceDc, oldSource);
  ::DeleteDC(sourceDc);
  PopClip();
}

void RenderContext_GdiPlus::DrawText(const RECT& rect, const std::wstring& text, DWORD argb,
                                     HFONT font, UINT format) {
  if (text.empty() || (argb >> 24) == 0 || IsEmptyRect(rect) || !EnsureSurface()) return;
  std::unique_ptr<Gdiplus::Font> uncached;
  Gdiplus::Font* const gdipFont = ResolveGdiplusFont(dc_, font, text, &fonts_, &uncached);
  if (gdipFont->GetLastStatus() != Gdiplus::Ok) return;
  const std::unique_ptr<Gdiplus::StringFormat> stringFormat = MakeStringFormat(format);
  const RECT device = ToDevice(rect);
  const Gdiplus::RectF layout(
      static_cast<Gdiplus::REAL>(device.left), static_cast<Gdiplus::REAL>(device.top),
      static_cast<Gdiplus::REAL>(Width(device)), static_cast<Gdiplus::REAL>(Height(device)));
  Gdiplus::SolidBrush brush{Gdiplus::Color(argb)};
  BeforeGdiPlus();
  graphics_->DrawString(text.c_str(), static_cast<INT>(text.size()), gdipFont, layout,
                        stringFormat.get(), &brush);
  AfterGdiPlus();
}

SIZE RenderContext_GdiPlus::MeasureText(const std::wstring& text, HFONT font, UINT format,
                                        int width) {
  SIZE size = {0, 0};
  if (text.empty() || !EnsureSurface()) return size;
  std::unique_ptr<Gdiplus::Font> uncached;
  Gdiplus::Font* const gdipFont = ResolveGdiplusFont(dc_, font, text, &fonts_, &uncached);
  if (gdipFont->GetLastStatus() != Gdiplus::Ok) return size;
  const std::unique_ptr<Gdiplus::StringFormat> stringFormat =
      MakeStringFormat(format & ~(DT_END_ELLIPSIS | DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM));
  const Gdiplus::REAL kUnlimited = 100000.0f;
  const Gdiplus::RectF layout(0, 0, width > 0 ? static_cast<Gdiplus::REAL>(width) : kUnlimited,
                              kUnlimited);
  Gdiplus::RectF bounds;
  graphics_->MeasureString(text.c_str(), static_cast<INT>(text.size()), gdipFont, layout,
                           stringFormat.get(), &bounds);
  size.cx = static_cast<LONG>(std::ceil(bounds.Width));
  size.cy = static_cast<LONG>(std::ceil(bounds.Height));
  if (width > 0 && size.cx > width) size.cx = width;
  return size;
}

void RenderContext_GdiPlus::BeginGdiDrawing(const RECT& rect) {
  savedAlpha_.clear();
  inGdiDrawing_ = false;
  if (!bitmap_.GetBits()) return;
  RECT device = ToDevice(rect);
  const RECT whole = {0, 0, GetWidth(), GetHeight()};
  if (!::IntersectRect(&device, &device, &whole)) return;
  AfterGdiPlus();
  ::GdiFlush();
  gdiRect_ = device;
  savedAlpha_.resize(static_cast<size_t>(Width(device)) * Height(device));
  // Mark every pixel with alpha 1: GDI writes alpha 0 into what it touches.
  auto* bits = static_cast<BYTE*>(bitmap_.GetBits());
  size_t i = 0;
  for (int y = device.top; y < device.bottom; ++y) {
    BYTE* pixel = bits + (static_cast<size_t>(y) * GetWidth() + device.left) * 4;
    for (int x = device.left; x < device.right; ++x, pixel += 4) {
      savedAlpha_[i++] = pixel[3];
      pixel[3] = 1;
    }
  }
  inGdiDrawing_ = true;
}

void RenderContext_GdiPlus::EndGdiDrawing() {
  if (!inGdiDrawing_ || !bitmap_.GetBits()) return;
  inGdiDrawing_ = false;
  ::GdiFlush();
  auto* bits = static_cast<BYTE*>(bitmap_.GetBits());
  size_t i = 0;
  for (int y = gdiRect_.top; y < gdiRect_.bottom; ++y) {
    BYTE* pixel = bits + (static_cast<size_t>(y) * GetWidth() + gdiRect_.left) * 4;
    for (int x = gdiRect_.left; x < gdiRect_.right; ++x, pixel += 4) {
      pixel[3] = pixel[3] == 1 ? savedAlpha_[i] : 255;
      ++i;
    }
  }
  savedAlpha_.clear();
}

}  // namespace ui

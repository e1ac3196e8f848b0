#include "ui/core/TextMeasure.h"

#include "base/ScopedHandle.h"
#include "ui/draw/IRenderContext.h"
#include "ui/core/UiGlobal.h"

namespace ui {

namespace {

struct MemoryDcTraits {
  static HDC Invalid() { return nullptr; }
  static bool IsValid(HDC dc) { return dc != nullptr; }
  static void Close(HDC dc) { ::DeleteDC(dc); }
};

SIZE MeasureWithGdi(const std::wstring& text, HFONT font, UINT format, int width) {
  nbase::ScopedHandle<MemoryDcTraits> dc(::CreateCompatibleDC(nullptr));
  SIZE size = {0, 0};
  if (!dc.IsValid()) return size;
  HGDIOBJ old = ::SelectObject(dc.Get(), font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
  RECT rc = {0, 0, width > 0 ? width : 9999, 9999};
  UINT flags = (format & ~(DT_END_ELLIPSIS | DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT;
  if (!(format & DT_SINGLELINE)) flags |= DT_WORDBREAK;
  ::DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &rc, flags);
  ::SelectObject(dc.Get(), old);
  size.cx = rc.right - rc.left;
  size.cy = rc.bottom - rc.top;
  return size;
}

}  // namespace

SIZE MeasureText(const std::wstring& text, HFONT font, UINT format, int width) {
  if (IRenderContext* context = UiGlobal::GetMeasureContext()) {
    return context->MeasureText(text, font, format, width);
  }
  return MeasureWithGdi(text, font, format, width);
}

}  // namespace ui

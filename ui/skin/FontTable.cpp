#include "ui/skin/FontTable.h"

#include <cwchar>

#include "ui/misc/DpiState.h"
#include "base/WindowsVersion.h"

namespace ui {

std::wstring FontTable::SystemFace() {
  return nbase::IsWindowsVersionOrGreater(6, 0) ? L"微软雅黑" : L"新宋体";
}

int FontTable::Add(const std::wstring& face, int size, bool bold, bool underline, bool italic,
                   const DpiState& dpi) {
  LOGFONTW lf = {};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  const std::wstring realFace = face == L"system" ? SystemFace() : face;
  wcsncpy_s(lf.lfFaceName, LF_FACESIZE, realFace.c_str(), _TRUNCATE);
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfHeight = -dpi.ScaleValue(size);
  if (bold) lf.lfWeight += FW_BOLD;
  lf.lfUnderline = underline ? TRUE : FALSE;
  lf.lfItalic = italic ? TRUE : FALSE;
  HFONT font = ::CreateFontIndirectW(&lf);
  if (!font && bold) {
    // Some GDIs refuse weights above 1000; plain bold is what was meant.
    lf.lfWeight = FW_BOLD;
    font = ::CreateFontIndirectW(&lf);
  }
  if (!font) return -1;
  FontRecord record;
  record.handle.Reset(font);
  record.face = face;
  record.size = size;
  record.bold = bold;
  record.underline = underline;
  record.italic = italic;
  fonts_.push_back(std::move(record));
  return static_cast<int>(fonts_.size()) - 1;
}

HFONT FontTable::Get(int index) const {
  const FontRecord* record = GetRecord(index);
  return record ? static_cast<HFONT>(record->handle.Get()) : nullptr;
}

const FontRecord* FontTable::GetRecord(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= fonts_.size()) return nullptr;
  return &fonts_[static_cast<size_t>(index)];
}

}  // namespace ui

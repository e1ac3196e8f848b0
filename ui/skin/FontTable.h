// The fonts of global.xml, addressed by their position (0-based).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/ScopedHandle.h"

namespace ui {

class DpiState;

struct FontRecord {
  nbase::ScopedGdiObject handle;
  std::wstring face;  // as written ("system" is kept; the created font uses the
                      // real face)
  int size = 12;
  bool bold = false;
  bool underline = false;
  bool italic = false;
};

class FontTable {
 public:
  FontTable() = default;
  FontTable(const FontTable&) = delete;
  FontTable& operator=(const FontTable&) = delete;

  // Creates the font and appends it; returns its number, or -1 when it cannot
  // be created.
  int Add(const std::wstring& face, int size, bool bold, bool underline, bool italic,
          const DpiState& dpi);
  // Null when |index| is not a font number.
  HFONT Get(int index) const;
  const FontRecord* GetRecord(int index) const;
  size_t GetCount() const { return fonts_.size(); }
  // Deletes every font handle.
  void Clear() { fonts_.clear(); }

  // The face a font named "system" is created with.
  static std::wstring SystemFace();

 private:
  std::vector<FontRecord> fonts_;
};

}  // namespace ui

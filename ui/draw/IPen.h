// A line style for paths, lines and outlines.
#pragma once

#include <windows.h>

namespace ui {

class IPen {
 public:
  enum class DashStyle { kSolid = 0, kDash = 1, kDot = 2, kDashDot = 3 };

  virtual ~IPen() = default;

  virtual void SetWidth(int width) = 0;
  virtual int GetWidth() const = 0;
  virtual void SetColor(DWORD argb) = 0;
  virtual DWORD GetColor() const = 0;
  virtual void SetDashStyle(DashStyle style) = 0;
  virtual DashStyle GetDashStyle() const = 0;
};

}  // namespace ui

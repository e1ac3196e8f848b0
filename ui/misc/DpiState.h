// The process's DPI awareness and the scale every 96-DPI layout length is
// multiplied by.
#pragma once

#include <windows.h>

namespace ui {

class DpiState {
 public:
  DpiState() = default;

  // Makes the process DPI-aware unless it already is (the awareness functions
  // are looked up by name once, so the program still starts where they do not
  // exist).
  void InitAwareness();
  // Reads the main monitor's DPI and, when aware, sets the scale from it.
  void InitScaleFromMonitor();

  bool IsAware() const { return aware_; }
  int GetScale() const { return scale_; }
  // The scale as a percentage: 96 DPI -> 100, 120 -> 125, 144 -> 150.
  void SetScaleFromDpi(int dpi);
  // For callers that manage awareness themselves (tests, a DPI change).
  void SetAware(bool aware) { aware_ = aware; }
  void SetScale(int scale) { scale_ = scale; }

  // v scaled by the percentage when aware and not at 100 %, rounded; otherwise
  // v.
  int ScaleValue(int value) const;
  void ScaleRect(RECT* rect) const;
  void ScaleSize(SIZE* size) const;

 private:
  int scale_ = 100;
  bool aware_ = false;
};

}  // namespace ui

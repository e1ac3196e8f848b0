// IBitmap over a GDI DIB section.
#pragma once

#include <windows.h>

#include "base/ScopedHandle.h"
#include "ui/draw/IBitmap.h"

namespace ui {

class GdiBitmap : public IBitmap {
 public:
  GdiBitmap() = default;
  ~GdiBitmap() override = default;
  GdiBitmap(const GdiBitmap&) = delete;
  GdiBitmap& operator=(const GdiBitmap&) = delete;

  bool Init(int width, int height, const void* bits = nullptr) override;
  void Clear() override;
  void Reset() override;

  HBITMAP GetHBitmap() const override { return static_cast<HBITMAP>(bitmap_.Get()); }
  void* GetBits() const override { return bits_; }
  int GetWidth() const override { return width_; }
  int GetHeight() const override { return height_; }

  bool HasAlpha() const override { return hasAlpha_; }
  void SetHasAlpha(bool alpha) override { hasAlpha_ = alpha; }

  // Largest side accepted; bigger requests are refused rather than attempted.
  static constexpr int kMaxSide = 16384;

 private:
  nbase::ScopedGdiObject bitmap_;
  void* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  bool hasAlpha_ = true;
};

}  // namespace ui

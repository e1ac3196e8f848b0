// A 32-bit top-down DIB section holding premultiplied BGRA pixels.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

namespace ui {

class IBitmap {
 public:
  virtual ~IBitmap() = default;

  // Creates a width x height 32-bit DIB section (top-down, rows of width * 4 bytes). When bits
  // is given, that many premultiplied BGRA pixels are copied in; otherwise the bitmap is
  // fully transparent. A previous bitmap is released.
  virtual bool Init(int width, int height, const void* bits = nullptr) = 0;
  // Makes every pixel transparent black.
  virtual void Clear() = 0;
  // Releases the bitmap; the object can be initialised again.
  virtual void Reset() = 0;

  virtual HBITMAP GetHBitmap() const = 0;
  virtual void* GetBits() const = 0;
  virtual int GetWidth() const = 0;
  virtual int GetHeight() const = 0;

  // Whether any pixel is not fully opaque; decides between alpha blending and a plain stretch.
  virtual bool HasAlpha() const = 0;
  virtual void SetHasAlpha(bool alpha) = 0;
};

// An image file decoded into one bitmap per frame (animated GIFs have several).
struct DecodedImage {
  std::vector<std::shared_ptr<IBitmap>> frames;
  std::vector<int> frameDelaysMs;  // one entry per frame; 0 for still images
  int width = 0;
  int height = 0;
  bool hasAlpha = false;
};

}  // namespace ui

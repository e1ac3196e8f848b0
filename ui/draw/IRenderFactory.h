// Makes the drawing objects of the toolkit; one factory per process (owned by UiGlobal).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "ui/draw/IBitmap.h"

namespace ui {

class IBrush;
class IClip;
class IMatrix;
class IPath;
class IPen;
class IRenderContext;

class IRenderFactory {
 public:
  virtual ~IRenderFactory() = default;

  virtual std::unique_ptr<IRenderContext> CreateRenderContext() const = 0;
  virtual std::unique_ptr<IBitmap> CreateBitmap() const = 0;
  virtual std::unique_ptr<IPen> CreatePen(DWORD argb, int width = 1) const = 0;
  virtual std::unique_ptr<IBrush> CreateBrush(DWORD argb) const = 0;
  virtual std::unique_ptr<IPath> CreatePath() const = 0;
  virtual std::unique_ptr<IMatrix> CreateMatrix() const = 0;
  virtual std::unique_ptr<IClip> CreateClip() const = 0;

  // Decodes an image file (PNG, BMP, JPEG, GIF with all frames) held in memory into
  // premultiplied 32-bit frames. GDI+ must have been started. False on any failure.
  virtual bool DecodeImage(const void* data, size_t size, DecodedImage* image) const = 0;
};

}  // namespace ui

// The toolkit's render factory: GDI DIB sections and GDI+ objects.
#pragma once

#include "ui/draw/IRenderFactory.h"

namespace Gdiplus {
class Bitmap;
}

namespace ui {

class RenderFactory_GdiPlus : public IRenderFactory {
 public:
  RenderFactory_GdiPlus() = default;
  ~RenderFactory_GdiPlus() override = default;
  RenderFactory_GdiPlus(const RenderFactory_GdiPlus&) = delete;
  RenderFactory_GdiPlus& operator=(const RenderFactory_GdiPlus&) = delete;

  std::unique_ptr<IRenderContext> CreateRenderContext() const override;
  std::unique_ptr<IBitmap> CreateBitmap() const override;
  std::unique_ptr<IPen> CreatePen(DWORD argb, int width = 1) const override;
  std::unique_ptr<IBrush> CreateBrush(DWORD argb) const override;
  std::unique_ptr<IPath> CreatePath() const override;
  std::unique_ptr<IMatrix> CreateMatrix() const override;
  std::unique_ptr<IClip> CreateClip() const override;

  bool DecodeImage(const void* data, size_t size, DecodedImage* image) const override;

  // At most this many frames of an animated image are kept.
  static constexpr unsigned kMaxFrames = 256;

 private:
  static bool ConvertFrames(Gdiplus::Bitmap& source, DecodedImage* image);
};

}  // namespace ui

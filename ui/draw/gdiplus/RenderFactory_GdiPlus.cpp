#include "ui/draw/gdiplus/RenderFactory_GdiPlus.h"

#include <windows.h>
#include <gdiplus.h>
#include <shlwapi.h>

#include <climits>
#include <vector>

#include "ui/draw/gdiplus/Brush_Gdiplus.h"
#include "ui/draw/GdiBitmap.h"
#include "ui/draw/GdiClip.h"
#include "ui/draw/gdiplus/Matrix_Gdiplus.h"
#include "ui/draw/gdiplus/Path_Gdiplus.h"
#include "ui/draw/gdiplus/Pen_GdiPlus.h"
#include "ui/draw/gdiplus/RenderContext_GdiPlus.h"

namespace ui {

namespace {

// Releases a COM stream when the decode is done with it.
struct StreamReleaser {
  void operator()(IStream* stream) const {
    if (stream) stream->Release();
  }
};

// Frame delays of an animated image in milliseconds (the property holds hundredths).
std::vector<int> ReadFrameDelays(Gdiplus::Bitmap& source, unsigned frames) {
  std::vector<int> delays(frames, 0);
  const UINT size = source.GetPropertyItemSize(PropertyTagFrameDelay);
  if (size < sizeof(Gdiplus::PropertyItem)) return delays;
  std::vector<BYTE> buffer(size);
  auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
  if (source.GetPropertyItem(PropertyTagFrameDelay, size, item) != Gdiplus::Ok || !item->value) {
    return delays;
  }
  const unsigned count = item->length / sizeof(LONG);
  const auto* values = static_cast<const LONG*>(item->value);
  for (unsigned i = 0; i < frames && i < count; ++i) delays[i] = static_cast<int>(values[i]) * 10;
  return delays;
}

}  // namespace

std::unique_ptr<IRenderContext> RenderFactory_GdiPlus::CreateRenderContext() const {
  return std::make_unique<RenderContext_GdiPlus>();
}

std::unique_ptr<IBitmap> RenderFactory_GdiPlus::CreateBitmap() const {
  return std::make_unique<GdiBitmap>();
}

std::unique_ptr<IPen> RenderFactory_GdiPlus::CreatePen(DWORD argb, int width) const {
  return std::make_unique<Pen_GdiPlus>(argb, width);
}

std::unique_ptr<IBrush> RenderFactory_GdiPlus::CreateBrush(DWORD argb) const {
  return std::make_unique<Brush_Gdiplus>(argb);
}

std::unique_ptr<IPath> RenderFactory_GdiPlus::CreatePath() const {
  return std::make_unique<Path_Gdiplus>();
}

std::unique_ptr<IMatrix> RenderFactory_GdiPlus::CreateMatrix() const {
  return std::make_unique<Matrix_Gdiplus>();
}

std::unique_ptr<IClip> RenderFactory_GdiPlus::CreateClip() const {
  return std::make_unique<GdiClip>();
}

bool RenderFactory_GdiPlus::DecodeImage(const void* data, size_t size, DecodedImage* image) const {
  if (!data || size == 0 || size > UINT_MAX || !image) return false;
  std::unique_ptr<IStream, StreamReleaser> stream(
      ::SHCreateMemStream(static_cast<const BYTE*>(data), static_cast<UINT>(size)));
  if (!stream) return false;
  // The bitmap reads from the stream for as long as it lives: destroy it first.
  std::unique_ptr<Gdiplus::Bitmap> source(Gdiplus::Bitmap::FromStream(stream.get()));
  return source && ConvertFrames(*source, image);
}

bool RenderFactory_GdiPlus::ConvertFrames(Gdiplus::Bitmap& source, DecodedImage* image) {
  if (source.GetLastStatus() != Gdiplus::Ok) return false;
  const UINT width = source.GetWidth();
  const UINT height = source.GetHeight();
  if (width == 0 || height == 0 || width > static_cast<UINT>(GdiBitmap::kMaxSide) ||
      height > static_cast<UINT>(GdiBitmap::kMaxSide)) {
    return false;
  }

  GUID dimension = Gdiplus::FrameDimensionPage;
  unsigned frames = 1;
  const UINT dimensions = source.GetFrameDimensionsCount();
  if (dimensions > 0) {
    std::vector<GUID> ids(dimensions);
    if (source.GetFrameDimensionsList(ids.data(), dimensions) == Gdiplus::Ok) {
      dimension = ids[0];
      frames = source.GetFrameCount(&dimension);
    }
  }
  if (frames == 0) frames = 1;
  if (frames > kMaxFrames) frames = kMaxFrames;

  DecodedImage result;
  result.width = static_cast<int>(width);
  result.height = static_cast<int>(height);
  result.frameDelaysMs = frames > 1 ? ReadFrameDelays(source, frames) : std::vector<int>(1, 0);

  for (unsigned i = 0; i < frames; ++i) {
    if (frames > 1 && source.SelectActiveFrame(&dimension, i) != Gdiplus::Ok) return false;
    // GDI+ converts straight into the DIB: no second full-size copy of the frame.
    auto frame = std::make_shared<GdiBitmap>();
    if (!frame->Init(result.width, result.height)) return false;
    Gdiplus::Rect area(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData locked = {};
    locked.Width = width;
    locked.Height = height;
    locked.Stride = static_cast<INT>(width * 4);
    locked.PixelFormat = PixelFormat32bppPARGB;
    locked.Scan0 = frame->GetBits();
    if (source.LockBits(&area, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                        PixelFormat32bppPARGB, &locked) != Gdiplus::Ok) {
      return false;
    }
    source.UnlockBits(&locked);
    const auto* bytes = static_cast<const BYTE*>(frame->GetBits());
    const size_t total = static_cast<size_t>(width) * height * 4;
    bool alpha = false;
    for (size_t at = 3; at < total && !alpha; at += 4) alpha = bytes[at] != 255;
    frame->SetHasAlpha(alpha);
    result.hasAlpha = result.hasAlpha || alpha;
    result.frames.push_back(std::move(frame));
  }
  *image = std::move(result);
  return true;
}

}  // namespace ui

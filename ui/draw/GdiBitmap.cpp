#include "ui/draw/GdiBitmap.h"

#include <cstring>

namespace ui {

bool GdiBitmap::Init(int width, int height, const void* bits) {
  Reset();
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return false;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;

  void* pixels = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (!bitmap || !pixels) {
    if (bitmap) ::DeleteObject(bitmap);
    return false;
  }
  bitmap_.Reset(bitmap);
  bits_ = pixels;
  width_ = width;
  height_ = height;
  const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
  if (bits) {
    std::memcpy(bits_, bits, bytes);
  } else {
    std::memset(bits_, 0, bytes);
  }
  return true;
}

void GdiBitmap::Clear() {
  if (!bits_) return;
  ::GdiFlush();
  std::memset(bits_, 0, static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4);
}

void GdiBitmap::Reset() {
  bitmap_.Reset();
  bits_ = nullptr;
  width_ = 0;
  height_ = 0;
}

}  // namespace ui

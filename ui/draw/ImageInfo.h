// A decoded image file shared by every control that shows it (cached by path).
#pragma once

#include <string>

#include "ui/draw/IBitmap.h"

namespace ui {

struct ImageInfo {
  std::wstring path;  // backslash form, the cache key
  DecodedImage image;

  int GetWidth() const { return image.width; }
  int GetHeight() const { return image.height; }
  size_t GetFrameCount() const { return image.frames.size(); }
  IBitmap* GetFrame(size_t index) const {
    return index < image.frames.size() ? image.frames[index].get() : nullptr;
  }
};

}  // namespace ui

// One image slot of a control (background, a state image, ...): the parsed
// image string and, once it has been needed, the shared decoded image.
#pragma once

#include <memory>
#include <string>

#include "ui/draw/ImageInfo.h"
#include "ui/skin/ImageSpec.h"

namespace ui {

class Image {
 public:
  // Parses the string with the current DPI scale; an empty string clears the
  // slot.
  void SetImageString(const std::wstring& imageString);
  void Clear();

  bool IsEmpty() const { return spec_.file.empty(); }
  const ImageSpec& GetSpec() const { return spec_; }
  const std::wstring& GetImageString() const { return spec_.imageString; }

  // The decoded image, loaded through the shared cache on first use. |folder|
  // is the owning window's resource folder. Null when the file cannot be read
  // or decoded; a failed load is not retried until the image string changes.
  ImageInfo* Load(const std::wstring& folder);

 private:
  ImageSpec spec_;
  std::shared_ptr<ImageInfo> info_;
  bool loadAttempted_ = false;
};

}  // namespace ui

#include "ui/core/Image.h"

#include "ui/core/UiGlobal.h"

namespace ui {

void Image::SetImageString(const std::wstring& imageString) {
  Clear();
  if (imageString.empty()) return;
  spec_.Parse(imageString, UiGlobal::GetDpiState());
}

void Image::Clear() {
  spec_ = ImageSpec();
  info_.reset();
  loadAttempted_ = false;
}

ImageInfo* Image::Load(const std::wstring& folder) {
  if (IsEmpty()) return nullptr;
  if (!loadAttempted_) {
    loadAttempted_ = true;
    info_ = UiGlobal::GetImage(UiGlobal::ResolveImagePath(folder, spec_.file));
  }
  return info_.get();
}

}  // namespace ui

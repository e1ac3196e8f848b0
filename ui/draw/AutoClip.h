// Limits drawing on a render context to a rectangle for the life of the object.
#pragma once

#include <windows.h>

#include "ui/draw/IRenderContext.h"

namespace ui {

class AutoClip {
 public:
  AutoClip(IRenderContext* context, const RECT& rect, bool clip = true)
      : context_(clip ? context : nullptr) {
    if (context_) context_->PushClip(rect);
  }
  AutoClip(IRenderContext* context, const RECT& rect, int roundWidth, int roundHeight,
           bool clip = true)
      : context_(clip ? context : nullptr) {
    if (context_) context_->PushRoundClip(rect, roundWidth, roundHeight);
  }
  ~AutoClip() {
    if (context_) context_->PopClip();
  }
  AutoClip(const AutoClip&) = delete;
  AutoClip& operator=(const AutoClip&) = delete;

 private:
  IRenderContext* context_;
};

}  // namespace ui

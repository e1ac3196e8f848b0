// A member whose weak callbacks live until Cancel() rather than until the owner dies
// (a window's delayed close, a caret timer).
#pragma once

#include "base/SupportWeakCallback.h"

namespace nbase {

class WeakCallbackFlag : public SupportWeakCallback {
 public:
  // Every callback made so far becomes a no-op.
  void Cancel() { ReleaseWeakFlag(); }
};

}  // namespace nbase

// The loop of the UI thread, pumped by the thread's Windows message queue.
#pragma once

#include "base/MessageLoop.h"

namespace nbase {

class WinUIMessagePump;

class UIMessageLoop : public MessageLoop {
 public:
  UIMessageLoop();

  WinUIMessagePump* ui_pump() const;
};

}  // namespace nbase

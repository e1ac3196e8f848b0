// A loop pumped by an I/O completion port.
#pragma once

#include "base/MessageLoop.h"

namespace nbase {

class WinIOMessagePump;

class IOMessageLoop : public MessageLoop {
 public:
  IOMessageLoop();

  WinIOMessagePump* io_pump() const;
};

}  // namespace nbase

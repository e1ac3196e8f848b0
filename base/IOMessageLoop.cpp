#include "base/IOMessageLoop.h"

#include <memory>

#include "base/WinIOMessagePump.h"

namespace nbase {

IOMessageLoop::IOMessageLoop() : MessageLoop(LoopType::Io, std::make_shared<WinIOMessagePump>()) {}

WinIOMessagePump* IOMessageLoop::io_pump() const {
  return static_cast<WinIOMessagePump*>(pump().get());
}

}  // namespace nbase

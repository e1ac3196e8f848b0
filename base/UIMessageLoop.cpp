#include "base/UIMessageLoop.h"

#include <memory>

#include "base/WinUIMessagePump.h"

namespace nbase {

UIMessageLoop::UIMessageLoop() : MessageLoop(LoopType::Ui, std::make_shared<WinUIMessagePump>()) {}

WinUIMessagePump* UIMessageLoop::ui_pump() const {
  return static_cast<WinUIMessagePump*>(pump().get());
}

}  // namespace nbase

// The kind of message loop a framework thread runs, which decides its pump.
#pragma once

namespace nbase {

enum class LoopType : int {
  Default = 0,  // MessageLoop with DefaultMessagePump (an event)
  Ui = 1,       // UIMessageLoop with WinUIMessagePump (the Windows message queue)
  Io = 2,       // IOMessageLoop with WinIOMessagePump (a completion port)
};

}  // namespace nbase

// What the two Windows pumps share: nested runs, quitting, the wake-up flag.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/MessagePump.h"

namespace nbase {

class WinMessagePump : public MessagePump {
 public:
  void Run(Delegate* delegate) override;
  // Ends the innermost run.
  void Quit() override;

 protected:
  struct PumpRunState {
    int run_depth = 1;
    bool should_quit = false;
    Delegate* delegate = nullptr;
  };

  virtual void RunLoopBody() = 0;

  // Milliseconds until the next wake-up time, rounded up; -1 when there is none.
  int64_t CurrentDelay() const;
  // The wait for the current delay: INFINITE when there is none.
  DWORD CurrentWaitTimeout() const;

  TickTime next_wake_up_;
  // 1 while a wake-up message or packet is on its way; only changed atomically.
  LONG have_work_ = 0;
  PumpRunState* state_ = nullptr;
};

}  // namespace nbase

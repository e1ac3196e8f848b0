// The pump of worker threads: sleeps on an auto-reset event.
#pragma once

#include "base/MessagePump.h"
#include "base/ScopedHandle.h"

namespace nbase {

class DefaultMessagePump : public MessagePump {
 public:
  DefaultMessagePump();
  ~DefaultMessagePump() override;

  void Run(Delegate* delegate) override;
  void Quit() override;
  void WakeUp() override;
  void SetWakeUpTime(TickTime time) override;

 private:
  ScopedKernelHandle event_;
  bool should_quit_ = false;
  TickTime next_wake_up_;
};

}  // namespace nbase

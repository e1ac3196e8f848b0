// The half of a message loop that sleeps and wakes: it waits on an OS primitive
// and calls back into the loop (its Delegate) to do the work.
#pragma once

#include "base/TickTime.h"

namespace nbase {

class MessagePump {
 public:
  // Implemented by MessageLoop. Each call returns true when it did work, which
  // tells the pump to call again before it considers waiting.
  class Delegate {
   public:
    virtual ~Delegate() = default;
    virtual bool RunImmediateWork() = 0;
    // next_wake_up: in, the pump's current wake-up time; out, when the earliest
    // delayed task falls due (0 = none).
    virtual bool RunDueDelayedWork(TickTime& next_wake_up) = 0;
    virtual bool RunIdleWork() = 0;
  };

  MessagePump() = default;
  virtual ~MessagePump() = default;
  MessagePump(const MessagePump&) = delete;
  MessagePump& operator=(const MessagePump&) = delete;

  virtual void Run(Delegate* delegate) = 0;
  // Ends the innermost Run(); called on the pump's thread.
  virtual void Quit() = 0;
  // The only operation other threads may call.
  virtual void WakeUp() = 0;
  virtual void SetWakeUpTime(TickTime time) = 0;
};

}  // namespace nbase

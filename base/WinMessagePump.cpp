#include "base/WinMessagePump.h"

#include "base/PumpDelay.h"

namespace nbase {

void WinMessagePump::Run(Delegate* delegate) {
  PumpRunState state;
  state.run_depth = state_ ? state_->run_depth + 1 : 1;
  state.delegate = delegate;
  PumpRunState* const previous = state_;
  state_ = &state;
  RunLoopBody();
  state_ = previous;
}

void WinMessagePump::Quit() {
  if (state_) state_->should_quit = true;
}

int64_t WinMessagePump::CurrentDelay() const { return DelayUntil(next_wake_up_); }

DWORD WinMessagePump::CurrentWaitTimeout() const {
  const int64_t delay = CurrentDelay();
  return delay < 0 ? INFINITE : ClampWaitMilliseconds(delay);
}

}  // namespace nbase

#include "base/DefaultMessagePump.h"

#include <windows.h>

#include "base/PumpDelay.h"

namespace nbase {

DefaultMessagePump::DefaultMessagePump() : event_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

DefaultMessagePump::~DefaultMessagePump() = default;

void DefaultMessagePump::Run(Delegate* delegate) {
  for (;;) {
    bool did_work = delegate->RunImmediateWork();
    if (should_quit_) break;
    did_work |= delegate->RunDueDelayedWork(next_wake_up_);
    if (should_quit_) break;
    if (did_work) continue;

    did_work = delegate->RunIdleWork();
    if (should_quit_) break;
    if (did_work) continue;

    // Auto-reset: a WakeUp() that came while we were busy makes this return at once.
    if (next_wake_up_.IsNull()) {
      ::WaitForSingleObject(event_.Get(), INFINITE);
    } else {
      const int64_t delay_ms = DelayUntil(next_wake_up_);
      if (delay_ms > 0) {
        ::WaitForSingleObject(event_.Get(), ClampWaitMilliseconds(delay_ms));
      } else {
        next_wake_up_ = TickTime();
      }
    }
  }
  should_quit_ = false;
}

void DefaultMessagePump::Quit() { should_quit_ = true; }

void DefaultMessagePump::WakeUp() { ::SetEvent(event_.Get()); }

void DefaultMessagePump::SetWakeUpTime(TickTime time) { next_wake_up_ = time; }

}  // namespace nbase

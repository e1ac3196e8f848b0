#include "base/PumpDelay.h"

namespace nbase {

int64_t DelayUntil(TickTime wake_up) {
  if (wake_up.IsNull()) return -1;
  const int64_t us = (wake_up - TickTime::Now()).ToMicroseconds();
  if (us <= 0) return 0;
  return (us + 999) / 1000;
}

DWORD ClampWaitMilliseconds(int64_t delay_ms) {
  if (delay_ms < 0) return 0;
  if (delay_ms > static_cast<int64_t>(kMaxWaitMilliseconds)) return kMaxWaitMilliseconds;
  return static_cast<DWORD>(delay_ms);
}

}  // namespace nbase

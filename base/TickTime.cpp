#include "base/TickTime.h"

#include <windows.h>
#include <mmsystem.h>

#include "base/Lock.h"

namespace nbase {

namespace {

// timeGetTime() wraps every 2^32 ms; the previous reading tells us when it did.
struct TickClock {
  Lock lock;
  DWORD last_reading = 0;
  int64_t rollover_ms = 0;
};

TickClock g_tick_clock;

}  // namespace

TickTime TickTime::Now() {
  AutoLock guard(g_tick_clock.lock);
  const DWORD now = ::timeGetTime();
  if (now < g_tick_clock.last_reading) g_tick_clock.rollover_ms += int64_t{1} << 32;
  g_tick_clock.last_reading = now;
  return TickTime((static_cast<int64_t>(now) + g_tick_clock.rollover_ms) * 1000);
}

}  // namespace nbase

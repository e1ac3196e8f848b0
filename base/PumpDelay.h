// Turning a pump's next wake-up time into a wait or timer period.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/TickTime.h"

namespace nbase {

// The longest wait or timer period a pump uses: INFINITE - 1 ms.
constexpr DWORD kMaxWaitMilliseconds = INFINITE - 1;

// Milliseconds until `wake_up`, rounded up: -1 when there is no wake-up time,
// 0 when it has passed.
int64_t DelayUntil(TickTime wake_up);

// A non-negative delay capped to a finite wait.
DWORD ClampWaitMilliseconds(int64_t delay_ms);

}  // namespace nbase

// Posting to a framework thread known only by its registered identifier.
#pragma once

#include <functional>

#include "base/QueuedTask.h"
#include "base/ThreadIds.h"
#include "base/TimeDelta.h"
#include "base/WeakCallback.h"

namespace nbase {

using WeakTask = WeakCallback<std::function<void()>>;

// False, and the task is dropped, when no thread with a loop is registered
// under `identifier`.
bool PostTaskToThread(int identifier, Task task);

// Runs `task` every `interval` on the thread, `times` times (-1: until the
// task's owner is gone). The first run is one interval from now, each next one
// an interval after the previous run ended. A count of 0 posts nothing.
void PostRepeatingTaskToThread(int identifier, const WeakTask& task, TimeDelta interval, int times);

}  // namespace nbase

// A task as it waits in a message loop's queues.
#pragma once

#include <functional>
#include <utility>

#include "base/TickTime.h"

namespace nbase {

using Task = std::function<void()>;

struct QueuedTask {
  QueuedTask() = default;
  QueuedTask(Task t, TickTime run_time, bool can_nest)
      : delayed_run_time(run_time), nestable(can_nest), task(std::move(t)) {}

  TickTime delayed_run_time;  // 0: run as soon as possible
  int sequence_num = 0;       // set when the task enters the delayed queue
  bool nestable = true;       // false: runs only in the outermost run of the loop
  Task task;                  // may be empty
};

// Orders the delayed queue's heap: earliest run time on top, then the lower
// sequence number, so tasks due together run in the order they were queued.
struct QueuedTaskLater {
  bool operator()(const QueuedTask& a, const QueuedTask& b) const {
    if (a.delayed_run_time != b.delayed_run_time) return a.delayed_run_time > b.delayed_run_time;
    return a.sequence_num > b.sequence_num;
  }
};

}  // namespace nbase

#include "base/TaskPosting.h"

#include <memory>
#include <utility>

#include "base/MessageLoopProxy.h"
#include "base/ThreadRegistry.h"

namespace nbase {

bool PostTaskToThread(int identifier, Task task) {
  const std::shared_ptr<MessageLoopProxy> proxy = ThreadRegistry::LoopProxyForThread(identifier);
  if (!proxy) return false;
  return proxy->PostTask(std::move(task));
}

void PostRepeatingTaskToThread(int identifier, const WeakTask& task, TimeDelta interval,
                               int times) {
  // Zero (or any other count below -1) means no run at all.
  if (times == 0 || times < -1) return;
  const std::shared_ptr<MessageLoopProxy> proxy = ThreadRegistry::LoopProxyForThread(identifier);
  if (!proxy) return;

  auto step = [identifier, task, interval, times]() {
    if (task.Expired()) return;
    task();
    // The task may have destroyed its owner.
    if (task.Expired()) return;
    const int remaining = times == -1 ? -1 : times - 1;
    if (remaining != 0) PostRepeatingTaskToThread(identifier, task, interval, remaining);
  };
  proxy->PostDelayedTask(step, interval);
}

}  // namespace nbase

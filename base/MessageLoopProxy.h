// A thread-safe handle to a message loop that outlives it: once the loop is
// gone every post returns false. Always held by shared_ptr; the last release
// deletes the proxy on its loop's thread.
#pragma once

#include <memory>

#include "base/Lock.h"
#include "base/QueuedTask.h"
#include "base/SupportWeakCallback.h"
#include "base/TimeDelta.h"

namespace nbase {

class MessageLoop;

class MessageLoopProxy : public SupportWeakCallback {
 public:
  ~MessageLoopProxy() override;
  MessageLoopProxy(const MessageLoopProxy&) = delete;
  MessageLoopProxy& operator=(const MessageLoopProxy&) = delete;

  // Wraps a new proxy in a shared_ptr whose deleter calls DestroyOnTargetThread().
  static std::shared_ptr<MessageLoopProxy> Create(MessageLoop* loop);
  static std::shared_ptr<MessageLoopProxy> Adopt(MessageLoopProxy* proxy);

  // Each returns false, and drops the task, when the loop is gone.
  virtual bool PostTask(Task task);
  // A zero delay posts an immediate task.
  virtual bool PostDelayedTask(Task task, TimeDelta delay);
  virtual bool PostTopLevelTask(Task task);
  virtual bool PostTopLevelDelayedTask(Task task, TimeDelta delay);
  virtual bool IsOnTargetThread();
  // Called by the loop as it is destroyed.
  virtual void DetachLoop();
  // The shared_ptr deleter.
  virtual void DestroyOnTargetThread();

 protected:
  explicit MessageLoopProxy(MessageLoop* loop);

 private:
  static void DeleteAfterPoster(MessageLoopProxy* proxy);

  Lock lock_;
  MessageLoop* target_loop_;
};

}  // namespace nbase

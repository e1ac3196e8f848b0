#include "base/MessageLoopProxy.h"

#include <utility>

#include "base/MessageLoop.h"

namespace nbase {

MessageLoopProxy::MessageLoopProxy(MessageLoop* loop) : target_loop_(loop) {}

MessageLoopProxy::~MessageLoopProxy() = default;

std::shared_ptr<MessageLoopProxy> MessageLoopProxy::Create(MessageLoop* loop) {
  return Adopt(new MessageLoopProxy(loop));
}

std::shared_ptr<MessageLoopProxy> MessageLoopProxy::Adopt(MessageLoopProxy* proxy) {
  return std::shared_ptr<MessageLoopProxy>(proxy,
                                           [](MessageLoopProxy* p) { p->DestroyOnTargetThread(); });
}

bool MessageLoopProxy::PostTask(Task task) {
  AutoLock guard(lock_);
  if (!target_loop_) return false;
  target_loop_->PostTask(std::move(task));
  return true;
}

bool MessageLoopProxy::PostDelayedTask(Task task, TimeDelta delay) {
  AutoLock guard(lock_);
  if (!target_loop_) return false;
  if (delay.IsZero()) {
    target_loop_->PostTask(std::move(task));
  } else {
    target_loop_->PostDelayedTask(std::move(task), delay);
  }
  return true;
}

bool MessageLoopProxy::PostTopLevelTask(Task task) {
  AutoLock guard(lock_);
  if (!target_loop_) return false;
  target_loop_->PostTopLevelTask(std::move(task));
  return true;
}

bool MessageLoopProxy::PostTopLevelDelayedTask(Task task, TimeDelta delay) {
  AutoLock guard(lock_);
  if (!target_loop_) return false;
  if (delay.IsZero()) {
    target_loop_->PostTopLevelTask(std::move(task));
  } else {
    target_loop_->PostTopLevelDelayedTask(std::move(task), delay);
  }
  return true;
}

bool MessageLoopProxy::IsOnTargetThread() {
  AutoLock guard(lock_);
  return target_loop_ != nullptr && target_loop_ == MessageLoop::Current();
}

void MessageLoopProxy::DetachLoop() {
  AutoLock guard(lock_);
  target_loop_ = nullptr;
}

void MessageLoopProxy::DestroyOnTargetThread() {
  {
    AutoLock guard(lock_);
    if (target_loop_ && target_loop_ != MessageLoop::Current()) {
      // The task owns the proxy: it is deleted when the task is destroyed, whether
      // it ran or its loop discarded it, and so always on the loop's thread.
      // No reference may stay behind on this thread, or the last release could
      // still happen here: the only one is moved all the way into the queue.
      std::shared_ptr<MessageLoopProxy> owner(this, &MessageLoopProxy::DeleteAfterPoster);
      target_loop_->PostTopLevelTask([owner = std::move(owner)]() {});
      return;
    }
  }
  delete this;
}

void MessageLoopProxy::DeleteAfterPoster(MessageLoopProxy* proxy) {
  // The posting thread may still hold the lock on its way out of
  // DestroyOnTargetThread(); wait for it before the lock goes away.
  { AutoLock wait_for_poster(proxy->lock_); }
  delete proxy;
}

}  // namespace nbase

#include "base/MessageLoop.h"

#include <utility>

#include "base/DefaultMessagePump.h"
#include "base/MessageLoopProxy.h"
#include "base/ThreadLocalSlots.h"

namespace nbase {

namespace {

// Bounds the clean-up passes of a dying loop whose discarded tasks keep posting.
constexpr int kMaxDiscardPasses = 100;

}  // namespace

MessageLoop::MessageLoop()
    : MessageLoop(LoopType::Default, std::make_shared<DefaultMessagePump>()) {}

MessageLoop::MessageLoop(LoopType type, std::shared_ptr<MessagePump> pump)
    : type_(type), pump_(std::move(pump)) {
  SetCurrentLoopSlot(this);
  proxy_ = MessageLoopProxy::Create(this);
}

MessageLoop::~MessageLoop() {
  // Destroying a task may post new ones (its captures may own objects that
  // post from their destructors); keep sweeping until nothing comes back.
  for (int pass = 0; pass < kMaxDiscardPasses; ++pass) {
    DiscardPendingTasks();
    ReloadWorkQueue();
    if (!DiscardPendingTasks()) break;
  }

  destruction_observers_.Notify([](DestructionObserver* o) { o->LoopDestroying(); });

  proxy_->DetachLoop();
  proxy_.reset();

  if (CurrentLoopFromSlot() == this) SetCurrentLoopSlot(nullptr);
}

MessageLoop* MessageLoop::Current() { return CurrentLoopFromSlot(); }

void MessageLoop::PostTask(Task task) {
  EnqueueIncoming(QueuedTask(std::move(task), TickTime(), true));
}

void MessageLoop::PostDelayedTask(Task task, TimeDelta delay) {
  EnqueueIncoming(QueuedTask(std::move(task), TickTime::Now() + delay, true));
}

void MessageLoop::PostTopLevelTask(Task task) {
  EnqueueIncoming(QueuedTask(std::move(task), TickTime(), false));
}

void MessageLoop::PostTopLevelDelayedTask(Task task, TimeDelta delay) {
  EnqueueIncoming(QueuedTask(std::move(task), TickTime::Now() + delay, false));
}

void MessageLoop::EnqueueIncoming(QueuedTask task) {
  std::shared_ptr<MessagePump> pump;
  {
    AutoLock guard(incoming_lock_);
    const bool was_empty = incoming_queue_.empty();
    incoming_queue_.push_back(std::move(task));
    if (!was_empty) return;
    // Only the first task of a burst wakes the pump.
    pump = pump_;
  }
  pump->WakeUp();
}

void MessageLoop::Run() {
  LoopRunState state;
  state.run_depth = run_state_ ? run_state_->run_depth + 1 : 1;
  LoopRunState* const previous = run_state_;
  run_state_ = &state;
  pump_->Run(this);
  run_state_ = previous;
}

void MessageLoop::Quit() {
  if (run_state_) run_state_->quit_received = true;
}

void MessageLoop::ReloadWorkQueue() {
  if (!work_queue_.empty()) return;
  AutoLock guard(incoming_lock_);
  if (!incoming_queue_.empty()) work_queue_.swap(incoming_queue_);
}

bool MessageLoop::RunImmediateWork() {
  if (!nestable_tasks_allowed_) return false;
  for (;;) {
    ReloadWorkQueue();
    if (work_queue_.empty()) return false;

    QueuedTask task = std::move(work_queue_.front());
    work_queue_.pop_front();

    if (!task.delayed_run_time.IsNull()) {
      const TickTime run_time = task.delayed_run_time;
      const int sequence_num = AddToDelayedQueue(std::move(task));
      if (delayed_queue_.top().sequence_num == sequence_num) pump_->SetWakeUpTime(run_time);
      continue;
    }
    if (RunOrDefer(task)) return true;
  }
}

bool MessageLoop::RunDueDelayedWork(TickTime& next_wake_up) {
  if (!nestable_tasks_allowed_ || delayed_queue_.empty()) {
    recent_time_ = TickTime();
    next_wake_up = TickTime();
    return false;
  }

  const TickTime next_run_time = delayed_queue_.top().delayed_run_time;
  if (next_run_time > recent_time_) {
    // Read the clock only when the cached time is behind, so a backlog of due
    // tasks is drained against one reading.
    recent_time_ = TickTime::Now();
    if (next_run_time > recent_time_) {
      next_wake_up = next_run_time;
      return false;
    }
  }

  // priority_queue::top() is const; moving out of it before pop() is safe.
  QueuedTask task = std::move(const_cast<QueuedTask&>(delayed_queue_.top()));
  delayed_queue_.pop();
  if (!delayed_queue_.empty()) next_wake_up = delayed_queue_.top().delayed_run_time;

  return RunOrDefer(task);
}

bool MessageLoop::RunIdleWork() {
  if (run_depth() == 1 && !deferred_queue_.empty()) {
    QueuedTask task = std::move(deferred_queue_.front());
    deferred_queue_.pop_front();
    RunTask(task);
    return true;
  }
  if (run_state_ && run_state_->quit_received) pump_->Quit();
  return false;
}

int MessageLoop::AddToDelayedQueue(QueuedTask task) {
  task.sequence_num = next_sequence_num_++;
  const int sequence_num = task.sequence_num;
  delayed_queue_.push(std::move(task));
  return sequence_num;
}

bool MessageLoop::RunOrDefer(QueuedTask& task) {
  if (task.nestable || run_depth() == 1) {
    RunTask(task);
    return true;
  }
  deferred_queue_.push_back(std::move(task));
  return false;
}

void MessageLoop::RunTask(QueuedTask& task) {
  nestable_tasks_allowed_ = false;
  task_observers_.Notify([](TaskObserver* o) { o->BeforeTask(); });
  if (task.task) task.task();
  // The callable and what it owns go here, on this thread, before the next task.
  task.task = nullptr;
  task_observers_.Notify([](TaskObserver* o) { o->AfterTask(); });
  nestable_tasks_allowed_ = true;
}

bool MessageLoop::DiscardPendingTasks() {
  while (!work_queue_.empty()) {
    QueuedTask task = std::move(work_queue_.front());
    work_queue_.pop_front();
    if (!task.delayed_run_time.IsNull()) AddToDelayedQueue(std::move(task));
  }
  deferred_queue_.clear();
  const bool had_delayed = !delayed_queue_.empty();
  while (!delayed_queue_.empty()) delayed_queue_.pop();
  return had_delayed;
}

}  // namespace nbase

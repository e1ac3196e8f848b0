// The task engine of a framework thread: queues of immediate, delayed and
// deferred tasks, run by a MessagePump on the loop's own thread.
#pragma once

#include <deque>
#include <memory>
#include <queue>
#include <vector>

#include "base/Lock.h"
#include "base/LoopRunState.h"
#include "base/LoopType.h"
#include "base/MessagePump.h"
#include "base/ObserverList.h"
#include "base/QueuedTask.h"
#include "base/TickTime.h"
#include "base/TimeDelta.h"

namespace nbase {

class MessageLoopProxy;

class MessageLoop : public MessagePump::Delegate {
 public:
  class TaskObserver {
   public:
    virtual ~TaskObserver() = default;
    virtual void BeforeTask() = 0;
    virtual void AfterTask() = 0;
  };

  class DestructionObserver {
   public:
    virtual ~DestructionObserver() = default;
    // The loop is about to go away; its queued tasks have been discarded.
    virtual void LoopDestroying() = 0;
  };

  // Construct on the thread that will run the loop: it becomes that thread's
  // current loop.
  MessageLoop();
  // Runs on the loop's thread after its last run: discards pending tasks
  // without running them, then detaches the proxy.
  ~MessageLoop() override;
  MessageLoop(const MessageLoop&) = delete;
  MessageLoop& operator=(const MessageLoop&) = delete;

  // The calling thread's loop, or null.
  static MessageLoop* Current();

  // Posting on the loop's own thread. Other threads post through proxy().
  void PostTask(Task task);
  void PostDelayedTask(Task task, TimeDelta delay);
  // Top-level tasks run only in the outermost run of the loop.
  void PostTopLevelTask(Task task);
  void PostTopLevelDelayedTask(Task task, TimeDelta delay);

  // The single entry for new tasks, from any thread.
  virtual void EnqueueIncoming(QueuedTask task);

  // Runs the loop on the calling thread until it quits; may be nested.
  void Run();
  // Asks the innermost run to end once every due task has run.
  void Quit();

  bool RunImmediateWork() override;
  bool RunDueDelayedWork(TickTime& next_wake_up) override;
  bool RunIdleWork() override;

  LoopType type() const { return type_; }
  bool is_running() const { return run_state_ != nullptr; }
  int run_depth() const { return run_state_ ? run_state_->run_depth : 0; }
  // False while a task runs; a nested run inside a task must allow it explicitly.
  bool nestable_tasks_allowed() const { return nestable_tasks_allowed_; }
  void SetNestableTasksAllowed(bool allowed) { nestable_tasks_allowed_ = allowed; }

  const std::shared_ptr<MessageLoopProxy>& proxy() const { return proxy_; }
  const std::shared_ptr<MessagePump>& pump() const { return pump_; }

  void AddTaskObserver(TaskObserver* observer) { task_observers_.AddObserver(observer); }
  void RemoveTaskObserver(TaskObserver* observer) { task_observers_.RemoveObserver(observer); }
  void AddDestructionObserver(DestructionObserver* observer) {
    destruction_observers_.AddObserver(observer);
  }
  void RemoveDestructionObserver(DestructionObserver* observer) {
    destruction_observers_.RemoveObserver(observer);
  }

 protected:
  // For loops that bring their own pump.
  MessageLoop(LoopType type, std::shared_ptr<MessagePump> pump);

 private:
  using TaskQueue = std::deque<QueuedTask>;
  using DelayedQueue = std::priority_queue<QueuedTask, std::vector<QueuedTask>, QueuedTaskLater>;

  void ReloadWorkQueue();
  // Returns the sequence number the task was given.
  int AddToDelayedQueue(QueuedTask task);
  // True if the task ran, false if it waits for the outermost run.
  bool RunOrDefer(QueuedTask& task);
  void RunTask(QueuedTask& task);
  // Returns whether the delayed queue held any task.
  bool DiscardPendingTasks();

  LoopType type_;
  LoopRunState* run_state_ = nullptr;
  std::shared_ptr<MessagePump> pump_;
  bool nestable_tasks_allowed_ = true;
  TaskQueue incoming_queue_;
  Lock incoming_lock_;
  TaskQueue work_queue_;
  TaskQueue deferred_queue_;
  DelayedQueue delayed_queue_;
  int next_sequence_num_ = 0;
  TickTime recent_time_;
  ObserverList<TaskObserver> task_observers_;
  ObserverList<DestructionObserver> destruction_observers_;
  std::shared_ptr<MessageLoopProxy> proxy_;
};

}  // namespace nbase

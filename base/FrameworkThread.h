// An OS thread that owns one message loop and runs it until told to stop.
// Subclasses hook Init() and Cleanup(), which run on the thread itself.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/LoopType.h"
#include "base/ScopedHandle.h"
#include "base/SupportWeakCallback.h"
#include "base/Thread.h"

namespace nbase {

class MessageLoop;

class FrameworkThread : public Thread, public virtual SupportWeakCallback {
 public:
  explicit FrameworkThread(const char* name);
  // Stops and joins the thread.
  ~FrameworkThread() override;

  // Creates the OS thread with a Default loop and returns once its Init() has
  // run and its loop accepts tasks. False if the thread already has a loop or
  // the OS thread cannot be created.
  bool Start();
  // The same with another kind of loop.
  bool StartWithLoop(LoopType loop_type);

  // The thread body: creates the loop, Init(), runs the loop, Cleanup(),
  // destroys the loop. Called on the new thread by Start(), or directly on the
  // calling thread for a thread object made with the protected constructor.
  void Run() override;

  // Asks the loop to quit once it has run every due task. Any thread.
  void RequestStop();
  // RequestStop(), then waits for the thread to end.
  void Stop();

  // Both run on the thread itself: before the loop runs and after it has ended.
  virtual void Init() {}
  virtual void Cleanup() {}

  bool is_running() const { return running_; }
  bool is_stopping() const { return stopping_; }
  LoopType loop_type() const { return loop_type_; }
  const std::string& name() const { return name_; }
  // Non-null only while Run() is between creating and destroying the loop.
  MessageLoop* message_loop() const { return message_loop_.get(); }

 protected:
  // For the thread that runs the loop on the calling thread (the program's UI
  // thread): marked running; the caller then calls Run() itself.
  FrameworkThread(const char* name, LoopType loop_type);

  using ThreadEntry = unsigned(__stdcall*)(void*);
  // Creates the OS thread, as _beginthreadex does: the handle, or 0 on failure.
  virtual uintptr_t BeginThread(ThreadEntry entry, void* argument, unsigned* thread_id);

 private:
  friend class ThreadRegistry;

  static unsigned __stdcall ThreadMain(void* argument);

  bool running_ = false;
  bool stopping_ = false;
  LoopType loop_type_ = LoopType::Default;
  std::unique_ptr<MessageLoop> message_loop_;
  ScopedKernelHandle started_event_;
  std::string name_;
};

}  // namespace nbase

// An OS thread as an object: its identifier and handle. The handle is joined
// when the object goes.
#pragma once

#include <windows.h>

#include "base/ScopedHandle.h"

namespace nbase {

class Thread {
 public:
  Thread() = default;
  virtual ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // The thread body; empty here.
  virtual void Run() {}

  DWORD thread_id() const { return thread_id_; }
  HANDLE thread_handle() const { return thread_handle_.Get(); }

 protected:
  // Waits for the thread to end (terminating it if the wait fails) and closes
  // the handle; identifier and handle become 0.
  void Join();

  DWORD thread_id_ = 0;
  ScopedKernelHandle thread_handle_;
};

}  // namespace nbase

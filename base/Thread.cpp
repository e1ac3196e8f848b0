#include "base/Thread.h"

namespace nbase {

Thread::~Thread() {
  if (thread_handle_) Join();
}

void Thread::Join() {
  if (thread_handle_) {
    if (::WaitForSingleObject(thread_handle_.Get(), INFINITE) == WAIT_FAILED)
      ::TerminateThread(thread_handle_.Get(), 0);
    thread_handle_.Reset();
  }
  thread_id_ = 0;
}

}  // namespace nbase

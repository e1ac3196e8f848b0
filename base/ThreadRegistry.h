// The process-wide map from thread identifier to framework thread, through which
// code posts to a thread it only knows by number.
#pragma once

#include <map>
#include <memory>

#include "base/Lock.h"

namespace nbase {

class FrameworkThread;
class MessageLoop;
class MessageLoopProxy;

class ThreadRegistry {
 public:
  ThreadRegistry(const ThreadRegistry&) = delete;
  ThreadRegistry& operator=(const ThreadRegistry&) = delete;

  // Binds `identifier` to the calling framework thread (call from inside its
  // Run(), normally from Init()). Registering the same identifier again counts;
  // an identifier bound to another thread, or a negative one, is ignored.
  static void RegisterCurrentThread(int identifier);
  // Undoes one registration; the last one frees the identifier.
  static void UnregisterCurrentThread();
  // The proxy of the loop of the thread bound to `identifier`, or empty.
  static std::shared_ptr<MessageLoopProxy> LoopProxyForThread(int identifier);

 private:
  friend class FrameworkThread;

  // The proxy of the thread's current loop, or empty.
  static std::shared_ptr<MessageLoopProxy> LoopProxyOf(FrameworkThread* thread);
  // After Cleanup(): drops a registration the thread did not undo, so the map
  // never points at a thread whose loop is gone.
  static void OnThreadLoopEnded(FrameworkThread* thread);
  // Moves the loop out of the thread object under the registry lock.
  static std::unique_ptr<MessageLoop> TakeLoop(FrameworkThread* thread);

  ThreadRegistry() = default;
  ~ThreadRegistry() = default;

  static ThreadRegistry& Instance();

  Lock lock_;
  std::map<int, FrameworkThread*> threads_;
};

}  // namespace nbase

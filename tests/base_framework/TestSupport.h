// Helpers shared by the framework tests: events, test threads, running code on
// a thread and waiting for it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "base/FrameworkThread.h"
#include "base/MessageLoop.h"
#include "base/MessageLoopProxy.h"
#include "base/ScopedHandle.h"
#include "base/ThreadRegistry.h"

namespace fwtest {

class Event {
 public:
  explicit Event(bool manual_reset = true)
      : handle_(::CreateEventW(nullptr, manual_reset, FALSE, nullptr)) {}
  void Signal() { ::SetEvent(handle_.Get()); }
  bool Wait(DWORD ms = 10000) { return ::WaitForSingleObject(handle_.Get(), ms) == WAIT_OBJECT_0; }
  bool IsSignaled() { return Wait(0); }

 private:
  nbase::ScopedKernelHandle handle_;
};

// A framework thread that registers under `id` unless it is negative, with
// optional hooks run on the thread.
class TestThread : public nbase::FrameworkThread {
 public:
  explicit TestThread(const char* name, int id = -1) : FrameworkThread(name), id_(id) {}
  // Stops here, while the overrides below still exist.
  ~TestThread() override { Stop(); }

  void Init() override {
    if (id_ >= 0) nbase::ThreadRegistry::RegisterCurrentThread(id_);
    if (on_init) on_init();
  }
  void Cleanup() override {
    if (on_cleanup) on_cleanup();
    if (id_ >= 0) nbase::ThreadRegistry::UnregisterCurrentThread();
  }

  std::shared_ptr<nbase::MessageLoopProxy> proxy() const {
    return message_loop() ? message_loop()->proxy() : nullptr;
  }

  std::function<void()> on_init;
  std::function<void()> on_cleanup;

 private:
  const int id_;
};

// Posts `fn` through `proxy` and waits until it has run. False on time-out or
// when the post is refused.
bool RunOn(const std::shared_ptr<nbase::MessageLoopProxy>& proxy, std::function<void()> fn,
           DWORD timeout_ms = 10000);

// Polls `condition` every few milliseconds until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms = 10000);

// Counts live instances, to show that every task's captures were destroyed.
class Tracked {
 public:
  Tracked() { ::InterlockedIncrement(&live_); }
  Tracked(const Tracked&) { ::InterlockedIncrement(&live_); }
  ~Tracked() { ::InterlockedDecrement(&live_); }
  static LONG live() { return ::InterlockedCompareExchange(&live_, 0, 0); }

 private:
  static LONG live_;
};

// Records the thread that destroyed it.
class DestroyWitness {
 public:
  explicit DestroyWitness(DWORD* destroyed_on) : destroyed_on_(destroyed_on) {}
  ~DestroyWitness() { *destroyed_on_ = ::GetCurrentThreadId(); }

 private:
  DWORD* destroyed_on_;
};

}  // namespace fwtest

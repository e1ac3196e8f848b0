#include "base/ThreadRegistry.h"

#include <windows.h>

#include "base/FrameworkThread.h"
#include "base/MessageLoop.h"
#include "base/MessageLoopProxy.h"
#include "base/ThreadLocalSlots.h"
#include "base/ThreadTlsRecord.h"

namespace nbase {

namespace {

enum : LONG { kUnallocated = 0, kAllocating = 1, kReady = 2 };
LONG g_registry_state = kUnallocated;
ThreadRegistry* g_registry = nullptr;

}  // namespace

ThreadRegistry& ThreadRegistry::Instance() {
  if (::InterlockedCompareExchange(&g_registry_state, kAllocating, kUnallocated) == kUnallocated) {
    // Never deleted: worker threads may still look threads up while the process exits.
    g_registry = new ThreadRegistry();
    ::InterlockedExchange(&g_registry_state, kReady);
  } else {
    while (::InterlockedCompareExchange(&g_registry_state, kReady, kReady) != kReady) ::Sleep(0);
  }
  return *g_registry;
}

void ThreadRegistry::RegisterCurrentThread(int identifier) {
  ThreadTlsRecord* const record = CurrentThreadRecord();
  if (!record || identifier < 0) return;
  ThreadRegistry& registry = Instance();
  AutoLock guard(registry.lock_);
  auto inserted = registry.threads_.emplace(identifier, record->self);
  if (inserted.first->second != record->self) return;  // bound to another thread
  ++record->registration_count;
  record->registered_id = identifier;
}

void ThreadRegistry::UnregisterCurrentThread() {
  ThreadTlsRecord* const record = CurrentThreadRecord();
  if (!record || record->registration_count <= 0) return;
  if (--record->registration_count > 0) return;
  ThreadRegistry& registry = Instance();
  {
    AutoLock guard(registry.lock_);
    auto it = registry.threads_.find(record->registered_id);
    if (it != registry.threads_.end() && it->second == record->self) registry.threads_.erase(it);
  }
  record->registered_id = -1;
}

std::shared_ptr<MessageLoopProxy> ThreadRegistry::LoopProxyForThread(int identifier) {
  ThreadRegistry& registry = Instance();
  AutoLock guard(registry.lock_);
  auto it = registry.threads_.find(identifier);
  if (it == registry.threads_.end()) return nullptr;
  MessageLoop* const loop = it->second->message_loop();
  return loop ? loop->proxy() : nullptr;
}

std::shared_ptr<MessageLoopProxy> ThreadRegistry::LoopProxyOf(FrameworkThread* thread) {
  ThreadRegistry& registry = Instance();
  AutoLock guard(registry.lock_);
  MessageLoop* const loop = thread->message_loop();
  return loop ? loop->proxy() : nullptr;
}

void ThreadRegistry::OnThreadLoopEnded(FrameworkThread* thread) {
  ThreadTlsRecord* const record = CurrentThreadRecord();
  if (!record || record->self != thread || record->registration_count <= 0) return;
  record->registration_count = 1;
  UnregisterCurrentThread();
}

std::unique_ptr<MessageLoop> ThreadRegistry::TakeLoop(FrameworkThread* thread) {
  ThreadRegistry& registry = Instance();
  AutoLock guard(registry.lock_);
  return std::move(thread->message_loop_);
}

}  // namespace nbase

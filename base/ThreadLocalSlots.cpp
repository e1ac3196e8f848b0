#include "base/ThreadLocalSlots.h"

#include "base/LazyTlsSlot.h"

namespace nbase {

namespace {

// Constant-initialised, so usable from any static initialiser.
LazyTlsSlot g_thread_record_slot;
LazyTlsSlot g_current_loop_slot;

}  // namespace

ThreadTlsRecord* CurrentThreadRecord() {
  return static_cast<ThreadTlsRecord*>(g_thread_record_slot.Get());
}

void SetCurrentThreadRecord(ThreadTlsRecord* record) { g_thread_record_slot.Set(record); }

MessageLoop* CurrentLoopFromSlot() { return static_cast<MessageLoop*>(g_current_loop_slot.Get()); }

void SetCurrentLoopSlot(MessageLoop* loop) { g_current_loop_slot.Set(loop); }

}  // namespace nbase

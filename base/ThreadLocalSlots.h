// The process's two TLS slots: the framework thread's record and the current loop.
#pragma once

namespace nbase {

class MessageLoop;
struct ThreadTlsRecord;

ThreadTlsRecord* CurrentThreadRecord();
void SetCurrentThreadRecord(ThreadTlsRecord* record);

MessageLoop* CurrentLoopFromSlot();
void SetCurrentLoopSlot(MessageLoop* loop);

}  // namespace nbase

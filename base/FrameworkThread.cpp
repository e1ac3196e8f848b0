#include "base/FrameworkThread.h"

#include <process.h>

#include "base/IOMessageLoop.h"
#include "base/MessageLoop.h"
#include "base/MessageLoopProxy.h"
#include "base/ThreadLocalSlots.h"
#include "base/ThreadRegistry.h"
#include "base/ThreadTlsRecord.h"
#include "base/UIMessageLoop.h"

namespace nbase {

namespace {

std::unique_ptr<MessageLoop> CreateLoop(LoopType type) {
  switch (type) {
    case LoopType::Io:
      return std::make_unique<IOMessageLoop>();
    case LoopType::Ui:
      return std::make_unique<UIMessageLoop>();
    default:
      return std::make_unique<MessageLoop>();
  }
}

}  // namespace

FrameworkThread::FrameworkThread(const char* name)
    : started_event_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)), name_(name ? name : "") {}

FrameworkThread::FrameworkThread(const char* name, LoopType loop_type) : FrameworkThread(name) {
  loop_type_ = loop_type;
  running_ = true;
}

FrameworkThread::~FrameworkThread() {
  Stop();
  name_.clear();
  started_event_.Reset();
}

bool FrameworkThread::Start() { return StartWithLoop(LoopType::Default); }

bool FrameworkThread::StartWithLoop(LoopType loop_type) {
  if (message_loop_) return false;
  // A thread that ended on its own is joined before its object is reused.
  if (thread_handle_) Join();
  loop_type_ = loop_type;

  unsigned id = 0;
  const uintptr_t handle = BeginThread(&FrameworkThread::ThreadMain, this, &id);
  // _beginthreadex reports failure as 0; 1 is not a handle either.
  if (handle == 0 || handle == 1) {
    thread_id_ = 0;
    return false;
  }
  thread_id_ = id;
  thread_handle_.Reset(reinterpret_cast<HANDLE>(handle));

  ::WaitForSingleObject(started_event_.Get(), INFINITE);
  running_ = true;
  return true;
}

uintptr_t FrameworkThread::BeginThread(ThreadEntry entry, void* argument, unsigned* thread_id) {
  return ::_beginthreadex(nullptr, 0, entry, argument, 0, thread_id);
}

unsigned __stdcall FrameworkThread::ThreadMain(void* argument) {
  static_cast<FrameworkThread*>(argument)->Run();
  return 0;
}

void FrameworkThread::Run() {
  std::unique_ptr<ThreadTlsRecord> own_record;
  if (!CurrentThreadRecord()) {
    own_record = std::make_unique<ThreadTlsRecord>();
    own_record->self = this;
    SetCurrentThreadRecord(own_record.get());
  }
  thread_id_ = ::GetCurrentThreadId();

  message_loop_ = CreateLoop(loop_type_);
  Init();
  ::SetEvent(started_event_.Get());

  message_loop_->Run();

  Cleanup();
  ThreadRegistry::OnThreadLoopEnded(this);
  // Detached under the registry lock, so a concurrent lookup never sees a dying loop.
  std::unique_ptr<MessageLoop> loop = ThreadRegistry::TakeLoop(this);
  loop.reset();
  thread_id_ = 0;

  if (own_record) SetCurrentThreadRecord(nullptr);
}

void FrameworkThread::RequestStop() {
  if (stopping_ || !message_loop_) return;
  // Through the proxy: the loop may be going away on its own thread right now.
  const std::shared_ptr<MessageLoopProxy> proxy = ThreadRegistry::LoopProxyOf(this);
  if (!proxy) return;
  stopping_ = true;
  proxy->PostTopLevelTask(MakeWeakCallback([this]() {
    if (message_loop_) message_loop_->Quit();
  }));
}

void FrameworkThread::Stop() {
  if (!running_) return;
  RequestStop();
  Join();
  running_ = false;
  stopping_ = false;
}

}  // namespace nbase

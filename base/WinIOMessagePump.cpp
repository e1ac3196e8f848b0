#include "base/WinIOMessagePump.h"

namespace nbase {

WinIOMessagePump::WinIOMessagePump()
    : port_(::CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1)) {}

WinIOMessagePump::~WinIOMessagePump() = default;

void WinIOMessagePump::WakeUp() {
  if (::InterlockedExchange(&have_work_, 1) != 0) return;
  ::PostQueuedCompletionStatus(port_.Get(), 0, reinterpret_cast<ULONG_PTR>(this),
                               reinterpret_cast<OVERLAPPED*>(this));
}

void WinIOMessagePump::SetWakeUpTime(TickTime time) { next_wake_up_ = time; }

bool WinIOMessagePump::RegisterIOHandler(HANDLE file, IOHandler* handler) {
  return ::CreateIoCompletionPort(file, port_.Get(), reinterpret_cast<ULONG_PTR>(handler), 1) ==
         port_.Get();
}

void WinIOMessagePump::RunLoopBody() {
  for (;;) {
    bool more = state_->delegate->RunImmediateWork();
    if (state_->should_quit) break;
    more |= WaitForIOCompletion(0);
    if (state_->should_quit) break;
    more |= state_->delegate->RunDueDelayedWork(next_wake_up_);
    if (state_->should_quit) break;
    if (more) continue;

    more = state_->delegate->RunIdleWork();
    if (state_->should_quit) break;
    if (more) continue;

    WaitForIOCompletion(CurrentWaitTimeout());
    if (state_->should_quit) break;
  }
}

bool WinIOMessagePump::WaitForIOCompletion(DWORD timeout) {
  DWORD bytes = 0;
  ULONG_PTR key = 0;
  OVERLAPPED* overlapped = nullptr;
  DWORD error = ERROR_SUCCESS;
  if (!::GetQueuedCompletionStatus(port_.Get(), &bytes, &key, &overlapped, timeout)) {
    if (!overlapped) return false;  // nothing arrived
    bytes = 0;
    error = ::GetLastError();
  }

  if (key == reinterpret_cast<ULONG_PTR>(this) &&
      overlapped == reinterpret_cast<OVERLAPPED*>(this)) {
    ::InterlockedExchange(&have_work_, 0);
    return true;
  }

  // The OVERLAPPED is the first member of its context.
  auto* const context = reinterpret_cast<IOContext*>(overlapped);
  if (context->handler) {
    observers_.Notify([](IOObserver* o) { o->WillProcessIOEvent(); });
    reinterpret_cast<IOHandler*>(key)->OnIOCompleted(context, bytes, error);
    observers_.Notify([](IOObserver* o) { o->DidProcessIOEvent(); });
  } else {
    delete context;
  }
  return true;
}

}  // namespace nbase

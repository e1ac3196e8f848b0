#include "base/LazyTlsSlot.h"

namespace nbase {

DWORD LazyTlsSlot::Index() {
  if (::InterlockedCompareExchange(&state_, kReady, kReady) == kReady) return index_;
  if (::InterlockedCompareExchange(&state_, kAllocating, kUnallocated) == kUnallocated) {
    index_ = ::TlsAlloc();
    ::InterlockedExchange(&state_, kReady);
    return index_;
  }
  // Another thread is allocating; it finishes in a moment.
  while (::InterlockedCompareExchange(&state_, kReady, kReady) != kReady) ::Sleep(0);
  return index_;
}

}  // namespace nbase

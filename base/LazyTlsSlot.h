// A TLS slot allocated on first use and kept for the life of the process.
#pragma once

#include <windows.h>

namespace nbase {

class LazyTlsSlot {
 public:
  constexpr LazyTlsSlot() = default;
  LazyTlsSlot(const LazyTlsSlot&) = delete;
  LazyTlsSlot& operator=(const LazyTlsSlot&) = delete;

  void* Get() { return ::TlsGetValue(Index()); }
  void Set(void* value) { ::TlsSetValue(Index(), value); }

 private:
  enum : LONG { kUnallocated = 0, kAllocating = 1, kReady = 2 };

  DWORD Index();

  LONG state_ = kUnallocated;  // only touched through Interlocked calls
  DWORD index_ = TLS_OUT_OF_INDEXES;
};

}  // namespace nbase

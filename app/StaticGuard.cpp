// The guard of function-local statics, for the program's own runtime: the C++
// library's guard waits on a POSIX thread library and reports a recursive
// start with an exception, and both would come into the program with it.
#if defined(__GNUC__)
#include <windows.h>

#include <cstdint>

// One lock, taken again freely by the thread that holds it (a static whose
// start needs another static), makes every other thread wait until the start
// is done.
namespace {

SRWLOCK g_static_lock = SRWLOCK_INIT;
volatile LONG g_static_owner = 0;  // thread id holding g_static_lock, or 0
int g_static_depth = 0;            // touched only by that thread

bool IsDone(const std::int64_t* guard) {
  return __atomic_load_n(reinterpret_cast<const char*>(guard), __ATOMIC_ACQUIRE) != 0;
}

void Leave() {
  if (--g_static_depth == 0) {
    ::InterlockedExchange(&g_static_owner, 0);
    ::ReleaseSRWLockExclusive(&g_static_lock);
  }
}

}  // namespace

extern "C" int __cxa_guard_acquire(std::int64_t* guard) {
  if (IsDone(guard)) return 0;
  const LONG self = static_cast<LONG>(::GetCurrentThreadId());
  if (::InterlockedCompareExchange(&g_static_owner, 0, 0) != self) {
    ::AcquireSRWLockExclusive(&g_static_lock);
    ::InterlockedExchange(&g_static_owner, self);
  }
  ++g_static_depth;
  if (!IsDone(guard)) return 1;  // the caller starts the static now
  Leave();
  return 0;
}

extern "C" void __cxa_guard_release(std::int64_t* guard) {
  __atomic_store_n(reinterpret_cast<char*>(guard), 1, __ATOMIC_RELEASE);
  Leave();
}

extern "C" void __cxa_guard_abort(std::int64_t*) { Leave(); }

#endif

#include "TestSupport.h"

#include <utility>

namespace fwtest {

LONG Tracked::live_ = 0;

bool RunOn(const std::shared_ptr<nbase::MessageLoopProxy>& proxy, std::function<void()> fn,
           DWORD timeout_ms) {
  if (!proxy) return false;
  auto done = std::make_shared<Event>();
  if (!proxy->PostTask([fn = std::move(fn), done]() {
        fn();
        done->Signal();
      }))
    return false;
  return done->Wait(timeout_ms);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms) {
  const DWORD start = ::GetTickCount();
  while (!condition()) {
    if (::GetTickCount() - start > timeout_ms) return false;
    ::Sleep(2);
  }
  return true;
}

}  // namespace fwtest

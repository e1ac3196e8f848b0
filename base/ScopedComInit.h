// COM for the calling thread (single-threaded apartment) for as long as the
// object lives; a thread that already has it keeps it as it is.
#pragma once

#include <objbase.h>

namespace nbase {

class ScopedComInit {
 public:
  ScopedComInit() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ScopedComInit() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  ScopedComInit(const ScopedComInit&) = delete;
  ScopedComInit& operator=(const ScopedComInit&) = delete;

 private:
  const HRESULT result_;
};

}  // namespace nbase

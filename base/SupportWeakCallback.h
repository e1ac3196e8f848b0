// Base of every object that hands out weak callbacks bound to itself.
#pragma once

#include <memory>
#include <utility>

#include "base/WeakCallback.h"

namespace nbase {

class SupportWeakCallback {
 public:
  SupportWeakCallback() = default;
  // Releasing the flag expires every callback made from this object.
  virtual ~SupportWeakCallback() = default;

  // Copies share the flag of neither object.
  SupportWeakCallback(const SupportWeakCallback&) {}
  SupportWeakCallback& operator=(const SupportWeakCallback&) { return *this; }

  // Call on the owner's thread.
  std::weak_ptr<WeakFlag> AcquireWeakFlag() {
    if (!flag_) flag_ = std::make_shared<WeakFlag>();
    return flag_;
  }

  template <typename Callable>
  WeakCallback<std::decay_t<Callable>> MakeWeakCallback(Callable&& callable) {
    return WeakCallback<std::decay_t<Callable>>(AcquireWeakFlag(),
                                                std::forward<Callable>(callable));
  }

 protected:
  // Drops the current flag; the next AcquireWeakFlag() starts a fresh one.
  void ReleaseWeakFlag() { flag_.reset(); }

 private:
  std::shared_ptr<WeakFlag> flag_;
};

}  // namespace nbase

// Callbacks that do nothing once the object that made them has been destroyed.
#pragma once

#include <memory>
#include <type_traits>
#include <utility>

namespace nbase {

// Carries no data: only whether anyone still owns it matters.
class WeakFlag {};

// A callable guarded by its owner's flag. Calling an expired callback does
// nothing and returns a value-initialised result (false, null, nothing).
// The check and the call are not atomic, so run it on the owner's thread.
template <typename T>
class WeakCallback {
 public:
  WeakCallback(std::weak_ptr<WeakFlag> flag, T target)
      : flag_(std::move(flag)), target_(std::move(target)) {}

  template <typename... Args>
  auto operator()(Args&&... args) const
      -> decltype(std::declval<const T&>()(std::forward<Args>(args)...)) {
    using Result = decltype(std::declval<const T&>()(std::forward<Args>(args)...));
    if (flag_.expired()) {
      if constexpr (std::is_void_v<Result>) {
        return;
      } else {
        return Result();
      }
    }
    return target_(std::forward<Args>(args)...);
  }

  bool Expired() const { return flag_.expired(); }
  const std::weak_ptr<WeakFlag>& flag() const { return flag_; }
  const T& target() const { return target_; }

 private:
  std::weak_ptr<WeakFlag> flag_;
  T target_;
};

}  // namespace nbase

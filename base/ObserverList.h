// A list of observers that may be added to or removed from while it notifies.
#pragma once

#include <algorithm>
#include <vector>

#include "base/LazyEraser.h"

namespace nbase {

template <typename T>
class ObserverList : public LazyEraser {
 public:
  void AddObserver(T* observer) {
    if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
      observers_.push_back(observer);
  }

  // During a notification the entry is only nulled, so indices stay valid.
  void RemoveObserver(T* observer) {
    auto it = std::find(observers_.begin(), observers_.end(), observer);
    if (it == observers_.end()) return;
    *it = nullptr;
    EraseNow();
  }

  // Calls fn(observer) on every entry; entries appended meanwhile are reached too.
  template <typename Fn>
  void Notify(Fn&& fn) {
    ++notify_depth_;
    for (size_t i = 0; i < observers_.size(); ++i) {
      if (T* observer = observers_[i]) fn(observer);
    }
    --notify_depth_;
    if (notify_depth_ < 1) EraseNow();
  }

  void EraseNow() override {
    if (notify_depth_ > 0) return;
    observers_.erase(std::remove(observers_.begin(), observers_.end(), nullptr), observers_.end());
  }

  bool empty() const {
    return std::all_of(observers_.begin(), observers_.end(), [](T* o) { return o == nullptr; });
  }
  size_t size_with_removed() const { return observers_.size(); }

 private:
  std::vector<T*> observers_;
};

}  // namespace nbase

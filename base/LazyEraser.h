// Defers removal from a container until nobody is iterating over it.
#pragma once

namespace nbase {

class LazyEraser {
 public:
  LazyEraser() = default;
  virtual ~LazyEraser() = default;
  LazyEraser(const LazyEraser&) = delete;
  LazyEraser& operator=(const LazyEraser&) = delete;

  // Removes the entries marked for removal, unless a notification is under way.
  virtual void EraseNow() = 0;

 protected:
  int notify_depth_ = 0;
};

}  // namespace nbase

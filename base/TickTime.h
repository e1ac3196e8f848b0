// A point on the process's monotonic clock, in microseconds; 0 means "none".
#pragma once

#include <cstdint>

#include "base/TimeDelta.h"

namespace nbase {

class TickTime {
 public:
  constexpr TickTime() = default;

  // The multimedia millisecond tick, extended past its 49.7-day rollover.
  static TickTime Now();

  static constexpr TickTime FromMicroseconds(int64_t us) { return TickTime(us); }
  constexpr int64_t ToMicroseconds() const { return us_; }
  constexpr bool IsNull() const { return us_ == 0; }

  constexpr TickTime operator+(TimeDelta delta) const {
    return TickTime(us_ + delta.ToMicroseconds());
  }
  constexpr TickTime operator-(TimeDelta delta) const {
    return TickTime(us_ - delta.ToMicroseconds());
  }
  constexpr TimeDelta operator-(TickTime other) const {
    return TimeDelta::FromMicroseconds(us_ - other.us_);
  }
  constexpr bool operator==(TickTime other) const { return us_ == other.us_; }
  constexpr bool operator!=(TickTime other) const { return us_ != other.us_; }
  constexpr bool operator<(TickTime other) const { return us_ < other.us_; }
  constexpr bool operator<=(TickTime other) const { return us_ <= other.us_; }
  constexpr bool operator>(TickTime other) const { return us_ > other.us_; }
  constexpr bool operator>=(TickTime other) const { return us_ >= other.us_; }

 private:
  constexpr explicit TickTime(int64_t us) : us_(us) {}

  int64_t us_ = 0;
};

}  // namespace nbase

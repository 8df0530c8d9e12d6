// The no-data watchdog of a sweep, on a clock that can be injected: started
// with its interval, restarted by every read that brings bytes, expired once
// the interval has passed since.
#pragma once

#include "Clock.h"

namespace doz {

class TWatchdog {
 public:
  explicit TWatchdog(const platform::TClockSource& clock) : clock_(clock) {}

  // Disables, sets the interval and enables: the interval counts from now.
  void Start(int ms);
  void Stop() { enabled_ = false; }
  bool Enabled() const { return enabled_; }
  bool Expired() const { return enabled_ && clock_.Now() >= due_; }
  // Milliseconds left; 0 when disabled or expired.
  int RemainingMs() const;

 private:
  const platform::TClockSource& clock_;
  platform::TClockSource::TTime due_{};
  bool enabled_ = false;
};

}  // namespace doz

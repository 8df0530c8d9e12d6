// Time sources: a monotonic millisecond counter for time-outs and the local
// date and time as the text stored with a measurement; and the same two as an
// interface, so that what waits can be tested without waiting.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace doz::platform {

// Milliseconds of a monotonic clock; only differences mean anything.
std::uint64_t TickCount();
// Local date and time, "yyyy/MM/dd hh:mm:ss" with a 24-hour clock.
std::string NowDateTimeText();

class TClockSource {
 public:
  using TTime = std::chrono::steady_clock::time_point;

  virtual ~TClockSource() = default;
  virtual TTime Now() const = 0;
  virtual std::string DateTimeText() const = 0;
};

// The machine's clocks.
const TClockSource& SystemClock();

}  // namespace doz::platform

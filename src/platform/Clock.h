// Time sources: a monotonic millisecond counter for time-outs and the local
// date and time as the text stored with a measurement.
#pragma once

#include <cstdint>
#include <string>

namespace doz::platform {

// Milliseconds of a monotonic clock; only differences mean anything.
std::uint64_t TickCount();
// Local date and time, "yyyy/MM/dd hh:mm:ss" with a 24-hour clock.
std::string NowDateTimeText();

}  // namespace doz::platform

#include "Clock.h"

#include <cstdio>
#include <ctime>

namespace doz::platform {

std::uint64_t TickCount() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
         static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
}

std::string NowDateTimeText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[64];  // room for any int the fields could hold
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return text;
}

namespace {

class TSystemClock : public TClockSource {
 public:
  TTime Now() const override { return std::chrono::steady_clock::now(); }
  std::string DateTimeText() const override { return NowDateTimeText(); }
};

}  // namespace

const TClockSource& SystemClock() {
  static const TSystemClock clock;
  return clock;
}

}  // namespace doz::platform

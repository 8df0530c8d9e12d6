#include "Point_record.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Doz_setting.h"

namespace doz::unitsim {
namespace {

// First slot of each decade, and one past the last: 10 Hz .. 100 kHz.
constexpr int kDecadeStart[] = {0, 94, 215, 367, 555};
constexpr std::uint32_t kMax24 = 0xFFFFFF;
constexpr std::uint32_t kMax16 = 0xFFFF;

}  // namespace

double GridFrequency(int slot) {
  slot = std::clamp(slot, 0, kGridPoints - 1);
  int decade = 0;
  while (decade < 3 && slot >= kDecadeStart[decade + 1]) ++decade;
  const double within = double(slot - kDecadeStart[decade]) /
                        double(kDecadeStart[decade + 1] - kDecadeStart[decade]);
  return std::pow(10.0, decade + 1 + within);
}

TFrequencyFields EncodeFrequency(double hertz) {
  const double perDivisor = kMax24 * FREQ_FACTOR / std::max(hertz, FREQ_FACTOR);
  auto divisor = static_cast<std::uint32_t>(std::clamp(std::floor(perDivisor), 1.0, double(kMax16)));
  auto numerator = static_cast<std::uint32_t>(std::lround(hertz * divisor / FREQ_FACTOR));
  while (numerator > kMax24 && divisor > 1) {
    --divisor;
    numerator = static_cast<std::uint32_t>(std::lround(hertz * divisor / FREQ_FACTOR));
  }
  return {std::min(numerator, kMax24), divisor};
}

std::string EncodeRecord(double ohms, double degrees, double hertz) {
  const long r = std::clamp(std::lround(ohms), 0L, long(kMax24));
  const long p = std::clamp(std::lround(degrees * 100.0), -32768L, 32767L);
  const TFrequencyFields f = EncodeFrequency(hertz);
  char text[24];
  std::snprintf(text, sizeof text, "%06lX%04lX%06X%04X", static_cast<unsigned long>(r),
                static_cast<unsigned long>(p & 0xFFFF), static_cast<unsigned>(f.Numerator),
                static_cast<unsigned>(f.Divisor));
  return text;
}

}  // namespace doz::unitsim

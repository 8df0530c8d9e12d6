// The unit's frequency grid and the encoding of one point record.
#pragma once

#include <cstdint>
#include <string>

namespace doz::unitsim {

constexpr int kGridPoints = 556;

// Frequency of a grid slot (0..555): 10 Hz, 100 Hz, 1 kHz, 10 kHz and
// 100 kHz at slots 0, 94, 215, 367 and 555, log-spaced within each decade.
double GridFrequency(int slot);

struct TFrequencyFields {
  std::uint32_t Numerator;  // 24 bits
  std::uint32_t Divisor;    // 16 bits, never 0
};
// The largest divisor that keeps the numerator within 24 bits, for the
// finest resolution the record can carry.
TFrequencyFields EncodeFrequency(double hertz);

// Twenty uppercase hexadecimal digits: ohms (6, clamped to 0..FFFFFF), phase
// in hundredths of a degree (4, two's complement, clamped), frequency (6 + 4).
std::string EncodeRecord(double ohms, double degrees, double hertz);

}  // namespace doz::unitsim

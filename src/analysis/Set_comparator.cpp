#include "Set_comparator.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "Impedance_sample.h"

namespace doz::analysis {
namespace {

// Rounding in the percentage must not push a point that is exactly at the
// tolerance outside it.
constexpr double kSlack = 1e-9;

bool Within(double deviation, double tolerance) {
  return std::fabs(deviation) <= tolerance + kSlack * std::max(1.0, tolerance);
}

// Absurd data can overflow a percentage; it is then merely the largest number.
double Bounded(double value) {
  constexpr double kMax = std::numeric_limits<double>::max();
  return std::isnan(value) ? kMax : std::clamp(value, -kMax, kMax);
}

double PhaseDifference(double measured, double reference) {
  double d = std::fmod(measured - reference, 360.0);
  if (d > 180.0) d -= 360.0;
  if (d <= -180.0) d += 360.0;
  return d;
}

void Keep(TDeviation& worst, double value, double hertz, int slot) {
  if (worst.Slot < 0 || std::fabs(value) > std::fabs(worst.Value)) worst = {value, hertz, slot};
}

}  // namespace

TCompareResult CompareSets(const TCalcData& measured, const TCalcData& reference,
                           const TTolerance& tolerance) {
  if (!(tolerance.Percent >= 0) || !(tolerance.Degrees >= 0)) return TCompareRefusal::BadTolerance;
  TComparison c;
  for (int slot = 0; slot < DATA_MAX; ++slot) {
    if (!HoldsValue(measured, slot) || !HoldsValue(reference, slot) || reference.R[slot] == 0.0) {
      continue;
    }
    const double hertz = reference.Freq[slot];
    const double magnitude = Bounded(100.0 * (measured.R[slot] / reference.R[slot] - 1.0));
    const double phase = PhaseDifference(measured.Theta[slot], reference.Theta[slot]);
    ++c.Compared;
    Keep(c.WorstMagnitude, magnitude, hertz, slot);
    Keep(c.WorstPhase, phase, hertz, slot);
    if (!Within(magnitude, tolerance.Percent) || !Within(phase, tolerance.Degrees)) {
      c.OutsideSlots.push_back(slot);
    }
  }
  if (c.Compared == 0) return TCompareRefusal::NoCommonPoint;
  return c;
}

}  // namespace doz::analysis

#include "Resonance_finder.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace doz::analysis {
namespace {

// A phase within this band of zero says nothing about its sign: noise.
constexpr double kDeadBandDegrees = 2.0;
// Steps larger than this are a wrap at ±180°, not a pass through zero.
constexpr double kMaxStepDegrees = 180.0;
// How far (as a frequency ratio) the extreme of |Z| may lie from the zero of
// the phase: they part as the quality falls.
constexpr double kMaxExtremeShift = 2.0;

using TSamples = std::vector<TImpedanceSample>;

int SignOf(double degrees) {
  if (degrees > kDeadBandDegrees) return 1;
  if (degrees < -kDeadBandDegrees) return -1;
  return 0;
}

double LnF(const TImpedanceSample& s) { return std::log(s.Hertz); }
double LnZ(const TImpedanceSample& s) { return std::log(s.Ohms); }

// Zero of the least-squares line of the phase over ln f, from a to b.
double ZeroPhaseHertz(const TSamples& s, std::size_t a, std::size_t b) {
  double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
  for (std::size_t i = a; i <= b; ++i) {
    const double x = LnF(s[i]) - LnF(s[a]);
    n += 1;
    sx += x;
    sy += s[i].Degrees;
    sxx += x * x;
    sxy += x * s[i].Degrees;
  }
  const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
  const double x0 = -(sy - slope * sx) / n / slope;
  const double span = LnF(s[b]) - LnF(s[a]);
  const double x = std::isfinite(x0) ? std::clamp(x0, 0.0, span) : span / 2;
  return std::exp(LnF(s[a]) + x);
}

bool Wraps(const TSamples& s, std::size_t a, std::size_t b) {
  for (std::size_t i = a; i < b; ++i) {
    if (std::fabs(s[i + 1].Degrees - s[i].Degrees) > kMaxStepDegrees) return true;
  }
  return false;
}

// |Z| at the extreme point k, refined by the parabola through it and its
// neighbours in ln f and ln |Z| when that bends the right way.
double ExtremeOhms(const TSamples& s, std::size_t k, bool peak) {
  if (k == 0 || k + 1 >= s.size()) return s[k].Ohms;
  const double x0 = LnF(s[k - 1]) - LnF(s[k]), x2 = LnF(s[k + 1]) - LnF(s[k]);
  const double y0 = LnZ(s[k - 1]) - LnZ(s[k]), y2 = LnZ(s[k + 1]) - LnZ(s[k]);
  // y = a x² + b x through (x0, y0), (0, 0), (x2, y2).
  const double a = (y0 / x0 - y2 / x2) / (x0 - x2);
  const double b = y0 / x0 - a * x0;
  if ((peak && a >= 0) || (!peak && a <= 0)) return s[k].Ohms;
  const double top = -b * b / (4 * a);
  const double refined = s[k].Ohms * std::exp(top);
  return std::isfinite(refined) ? refined : s[k].Ohms;
}

// Frequency where |Z| crosses the level walking from k by step (+1 or -1).
std::optional<double> LevelCrossing(const TSamples& s, std::size_t k, int step, double level,
                                    bool peak) {
  const auto size = std::ptrdiff_t(s.size());
  for (std::ptrdiff_t i = std::ptrdiff_t(k); i + step >= 0 && i + step < size; i += step) {
    const TImpedanceSample& a = s[i];
    const TImpedanceSample& b = s[i + step];
    const bool crossed = peak ? b.Ohms <= level : b.Ohms >= level;
    if (!crossed) continue;
    const double t = (std::log(level) - LnZ(a)) / (LnZ(b) - LnZ(a));
    const double lnf =
        LnF(a) + (std::isfinite(t) ? std::clamp(t, 0.0, 1.0) : 0.0) * (LnF(b) - LnF(a));
    return std::exp(lnf);
  }
  return std::nullopt;
}

std::optional<double> QualityOf(const TSamples& s, std::size_t k, double hertz, double ohms,
                                bool peak) {
  const double level = peak ? ohms / std::sqrt(2.0) : ohms * std::sqrt(2.0);
  const auto below = LevelCrossing(s, k, -1, level, peak);
  const auto above = LevelCrossing(s, k, 1, level, peak);
  double width = 0;
  if (below && above)
    width = *above - *below;
  else if (below)
    width = 2 * (hertz - *below);
  else if (above)
    width = 2 * (*above - hertz);
  const double q = hertz / width;
  if (!(width > 0) || !std::isfinite(q)) return std::nullopt;
  return q;
}

// From the point nearest the frequency, uphill (peak) or downhill (dip) in
// |Z| to the nearest local extreme; nothing when that is an end of the data
// or further than a factor kMaxExtremeShift from the zero-phase frequency.
std::optional<std::size_t> ExtremeNear(const TSamples& s, double hertz, bool peak) {
  const auto nearest = std::lower_bound(
      s.begin(), s.end(), hertz, [](const TImpedanceSample& x, double f) { return x.Hertz < f; });
  std::size_t k = std::min<std::size_t>(nearest - s.begin(), s.size() - 1);
  const auto better = [&](std::size_t i) {
    return peak ? s[i].Ohms > s[k].Ohms : s[i].Ohms < s[k].Ohms;
  };
  for (;;) {
    if (k > 0 && better(k - 1))
      --k;
    else if (k + 1 < s.size() && better(k + 1))
      ++k;
    else
      break;
  }
  const double shift = std::fabs(std::log(s[k].Hertz / hertz));
  if (k == 0 || k + 1 == s.size() || shift > std::log(kMaxExtremeShift)) return std::nullopt;
  return k;
}

// The resonance between two points of definite, opposite phase sign, if |Z|
// really has its peak or dip there.
std::optional<TResonance> ResonanceBetween(const TSamples& s, std::size_t a, std::size_t b) {
  const bool peak = s[a].Degrees > 0;
  if (Wraps(s, a, b)) return std::nullopt;
  const double hertz = ZeroPhaseHertz(s, a, b);
  const auto k = ExtremeNear(s, hertz, peak);
  if (!k) return std::nullopt;
  const double ohms = ExtremeOhms(s, *k, peak);
  return TResonance{peak ? TResonanceKind::Peak : TResonanceKind::Dip, hertz, ohms,
                    QualityOf(s, *k, hertz, ohms, peak)};
}

}  // namespace

const char* ResonanceName(TResonanceKind kind) {
  return kind == TResonanceKind::Peak ? "peak" : "dip";
}

std::vector<TResonance> FindResonances(const std::vector<TImpedanceSample>& samples) {
  const TSamples s = ByFrequency(samples);
  std::vector<TResonance> found;
  std::optional<std::size_t> last;  // the last point of definite sign
  for (std::size_t i = 0; i < s.size(); ++i) {
    const int sign = SignOf(s[i].Degrees);
    if (sign == 0) continue;
    if (last && SignOf(s[*last].Degrees) != sign) {
      if (auto r = ResonanceBetween(s, *last, i)) found.push_back(*r);
    }
    last = i;
  }
  return found;
}

}  // namespace doz::analysis

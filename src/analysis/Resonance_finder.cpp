#include "Resonance_finder.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>

namespace doz::analysis {
namespace {

using TRules = TResonanceRules;
// How far (in ln |Z|) an interpolation may reach beyond the points it uses.
const double kBend = std::log(2.0);

using TSamples = std::vector<TImpedanceSample>;

double LnF(const TImpedanceSample& s) { return std::log(s.Hertz); }
double LnZ(const TImpedanceSample& s) { return std::log(s.Ohms); }

struct TPhaseLine {
  double hertz;         // where the line passes zero
  double degreesPerLn;  // its slope over ln f
};

// The least-squares line of the phase over ln f, from a to b.
TPhaseLine PhaseLine(const TSamples& s, std::size_t a, std::size_t b) {
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
  return {std::exp(LnF(s[a]) + x), slope};
}

bool Wraps(const TSamples& s, std::size_t a, std::size_t b) {
  for (std::size_t i = a; i < b; ++i) {
    if (std::fabs(s[i + 1].Degrees - s[i].Degrees) > TRules::MaxStepDegrees) return true;
  }
  return false;
}

// |Z| between the points, on the parabola in ln f and ln |Z| through the
// three nearest: a straight line would cut across the top of a peak.
double OhmsAt(const TSamples& s, double hertz) {
  if (s.size() < 3) return s.front().Ohms;
  const auto above = std::lower_bound(
      s.begin(), s.end(), hertz, [](const TImpedanceSample& x, double f) { return x.Hertz < f; });
  const std::size_t k = std::clamp<std::size_t>(above - s.begin(), 1, s.size() - 2);
  const double x = std::log(hertz);
  double lnz = 0, low = LnZ(s[k]), high = low;
  for (std::size_t i = k - 1; i <= k + 1; ++i) {
    double weight = 1;
    for (std::size_t j = k - 1; j <= k + 1; ++j) {
      if (j != i) weight *= (x - LnF(s[j])) / (LnF(s[i]) - LnF(s[j]));
    }
    lnz += weight * LnZ(s[i]);
    low = std::min(low, LnZ(s[i]));
    high = std::max(high, LnZ(s[i]));
  }
  // Between three points a parabola stays near them; one that does not
  // comes of points too close or too ragged to bend through.
  const double ohms = std::exp(std::clamp(lnz, low - kBend, high + kBend));
  return std::isfinite(ohms) ? ohms : s[k].Ohms;
}

struct TExtremum {
  double hertz;
  double ohms;
};

// The extreme point k refined by the parabola through it and its neighbours
// in ln f and ln |Z|, when that bends the right way.
TExtremum ExtremeAt(const TSamples& s, std::size_t k, bool peak) {
  const TExtremum plain{s[k].Hertz, s[k].Ohms};
  const double x0 = LnF(s[k - 1]) - LnF(s[k]), x2 = LnF(s[k + 1]) - LnF(s[k]);
  const double y0 = LnZ(s[k - 1]) - LnZ(s[k]), y2 = LnZ(s[k + 1]) - LnZ(s[k]);
  // y = a x² + b x through (x0, y0), (0, 0), (x2, y2).
  const double a = (y0 / x0 - y2 / x2) / (x0 - x2);
  const double b = y0 / x0 - a * x0;
  if ((peak && a >= 0) || (!peak && a <= 0)) return plain;
  const double x = std::clamp(-b / (2 * a), x0, x2);
  const TExtremum refined{s[k].Hertz * std::exp(x), s[k].Ohms * std::exp(a * x * x + b * x)};
  return std::isfinite(refined.hertz) && std::isfinite(refined.ohms) ? refined : plain;
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

// The width at 3 dB about the extremum, from both crossings or twice one.
std::optional<double> WidthAt(const TSamples& s, std::size_t k, const TExtremum& e, bool peak) {
  const double level = peak ? e.ohms / std::sqrt(2.0) : e.ohms * std::sqrt(2.0);
  const auto below = LevelCrossing(s, k, -1, level, peak);
  const auto above = LevelCrossing(s, k, 1, level, peak);
  double width = 0;
  if (below && above)
    width = *above - *below;
  else if (below)
    width = 2 * (e.hertz - *below);
  else if (above)
    width = 2 * (*above - e.hertz);
  if (!(width > 0) || !std::isfinite(width)) return std::nullopt;
  return width;
}

// From the point nearest the frequency, uphill (peak) or downhill (dip) in
// |Z| to the nearest local extreme; nothing when that is an end of the data
// or further than a factor TRules::MaxExtremeShift from the zero-phase frequency.
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
  if (k == 0 || k + 1 == s.size() || shift > std::log(TRules::MaxExtremeShift)) return std::nullopt;
  return k;
}

// The resonance between two points of definite, opposite phase sign, if |Z|
// really has its peak or dip there.
std::optional<TResonance> ResonanceBetween(const TSamples& s, std::size_t a, std::size_t b) {
  const bool peak = s[a].Degrees > 0;
  if (Wraps(s, a, b)) return std::nullopt;
  const TPhaseLine line = PhaseLine(s, a, b);
  const auto k = ExtremeNear(s, line.hertz, peak);
  if (!k) return std::nullopt;
  const TExtremum e = ExtremeAt(s, *k, peak);
  TResonance r{peak ? TResonanceKind::Peak : TResonanceKind::Dip,
               line.hertz,
               OhmsAt(s, line.hertz),
               e.hertz,
               e.ohms,
               {},
               TResonanceSource::Data,
               false};
  const double step = (LnF(s[*k + 1]) - LnF(s[*k - 1])) / 2;
  if (const auto width = WidthAt(s, *k, e, peak)) {
    r.Q = e.hertz / *width;
    r.Narrow = *width / e.hertz < TRules::NarrowSteps * step;
  } else {
    // dφ/d ln f = 2Q at a resonance, φ in radians.
    const double q = std::fabs(line.degreesPerLn) * std::numbers::pi / 180.0 / 2.0;
    if (std::isfinite(q) && q > 0) r.Q = q;
  }
  return r;
}

}  // namespace

const char* ResonanceName(TResonanceKind kind) {
  return kind == TResonanceKind::Peak ? "peak" : "dip";
}

const char* ResonanceSourceName(TResonanceSource source) {
  return source == TResonanceSource::Model ? "model" : "data";
}

std::vector<TResonance> FindResonances(const std::vector<TImpedanceSample>& samples) {
  const TSamples s = ByFrequency(samples);
  std::vector<TResonance> found;
  std::optional<std::size_t> last;  // the last point of definite sign
  for (std::size_t i = 0; i < s.size(); ++i) {
    const int sign = TRules::PhaseSign(s[i].Degrees);
    if (sign == 0) continue;
    if (last && TRules::PhaseSign(s[*last].Degrees) != sign) {
      if (auto r = ResonanceBetween(s, *last, i)) found.push_back(*r);
    }
    last = i;
  }
  return found;
}

}  // namespace doz::analysis

#include "Model_resonances.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace doz::analysis {
namespace {

using TRules = TResonanceRules;
// The curve is scanned at this many points per decade, then refined.
constexpr double kScanPerDecade = 250.0;
constexpr int kRefinements = 40;

struct TCurvePoint {
  double lnf;
  double degrees;
  double lnz;
};

class TCurve {
 public:
  static TCurvePoint Point(double lnf, std::complex<double> z) {
    return {lnf, std::arg(z) * 180.0 / std::numbers::pi, std::log(std::abs(z))};
  }

  TCurve(const TCircuit& circuit, double lowHertz, double highHertz) : circuit_(circuit) {
    const double from = std::log(lowHertz), to = std::log(highHertz);
    const int n = std::max(2, int((to - from) / std::log(10.0) * kScanPerDecade) + 1);
    std::vector<double> omegas;
    for (int i = 0; i < n; ++i) omegas.push_back(2 * std::numbers::pi * std::exp(from + (to - from) * i / (n - 1)));
    std::vector<std::complex<double>> z(omegas.size());
    circuit.Model().Impedances(circuit.Values(), omegas, z);
    for (int i = 0; i < n; ++i) points_.push_back(Point(from + (to - from) * i / (n - 1), z[i]));
  }

  TCurvePoint At(double lnf) const { return Point(lnf, circuit_.Impedance(std::exp(lnf))); }
  const std::vector<TCurvePoint>& Points() const { return points_; }

  // Where value(lnf) changes sign between a and b (it does at the ends).
  template <typename TValue>
  double Root(double a, double b, TValue value) const {
    const bool rising = value(At(a)) < 0;
    for (int i = 0; i < kRefinements; ++i) {
      const double m = (a + b) / 2;
      ((value(At(m)) < 0) == rising ? a : b) = m;
    }
    return (a + b) / 2;
  }

  // The top (peak) or bottom of ln |Z| between a and b, by golden sections.
  double Extremum(double a, double b, bool peak) const {
    const double g = (std::sqrt(5.0) - 1) / 2;
    const auto worse = [&](double x, double y) {
      return peak ? At(x).lnz < At(y).lnz : At(x).lnz > At(y).lnz;
    };
    for (int i = 0; i < kRefinements; ++i) {
      const double x1 = b - g * (b - a), x2 = a + g * (b - a);
      (worse(x1, x2) ? a : b) = worse(x1, x2) ? x1 : x2;
    }
    return (a + b) / 2;
  }

 private:
  const TCircuit& circuit_;
  std::vector<TCurvePoint> points_;
};

// The scan index of the local extremum reached from k uphill (peak) or downhill.
std::optional<std::size_t> ExtremeNear(const std::vector<TCurvePoint>& p, std::size_t k, bool peak) {
  const auto better = [&](std::size_t i, std::size_t j) {
    return peak ? p[i].lnz > p[j].lnz : p[i].lnz < p[j].lnz;
  };
  for (;;) {
    if (k > 0 && better(k - 1, k))
      --k;
    else if (k + 1 < p.size() && better(k + 1, k))
      ++k;
    else
      break;
  }
  if (k == 0 || k + 1 == p.size()) return std::nullopt;
  return k;
}

// ln f where ln |Z| crosses the level walking from k by step, if it does.
std::optional<double> LevelCrossing(const TCurve& c, std::size_t k, int step, double level) {
  const auto& p = c.Points();
  for (auto i = std::ptrdiff_t(k); i + step >= 0 && i + step < std::ptrdiff_t(p.size()); i += step) {
    const double a = p[i].lnz - level, b = p[i + step].lnz - level;
    if ((a < 0) == (b < 0)) continue;
    return c.Root(p[i].lnf, p[i + step].lnf, [level](const TCurvePoint& q) { return q.lnz - level; });
  }
  return std::nullopt;
}

double GridStep(const std::vector<double>& hertz, double at) {
  const auto above = std::lower_bound(hertz.begin(), hertz.end(), at);
  const std::size_t i = std::clamp<std::size_t>(above - hertz.begin(), 1, hertz.size() - 1);
  return std::log(hertz[i] / hertz[i - 1]);
}

std::optional<TResonance> ResonanceBetween(const TCurve& c, std::size_t a, std::size_t b,
                                           const std::vector<double>& hertz) {
  const auto& p = c.Points();
  const bool peak = p[a].degrees > 0;
  for (std::size_t i = a; i < b; ++i) {
    if (std::fabs(p[i + 1].degrees - p[i].degrees) > TRules::MaxStepDegrees) return std::nullopt;
  }
  std::size_t cross = a;
  while (cross + 1 < b && (p[cross + 1].degrees > 0) == peak) ++cross;
  const double lnf0 = c.Root(p[cross].lnf, p[cross + 1].lnf, [](const TCurvePoint& q) { return q.degrees; });
  const auto k = ExtremeNear(p, cross, peak);
  if (!k || std::fabs(p[*k].lnf - lnf0) > std::log(TRules::MaxExtremeShift)) return std::nullopt;
  const TCurvePoint top = c.At(c.Extremum(p[*k - 1].lnf, p[*k + 1].lnf, peak));
  TResonance r{peak ? TResonanceKind::Peak : TResonanceKind::Dip,
               std::exp(lnf0), std::exp(c.At(lnf0).lnz), std::exp(top.lnf), std::exp(top.lnz),
               {}, TResonanceSource::Model, false};
  const double level = top.lnz + (peak ? -0.5 : 0.5) * std::log(2.0);
  const auto below = LevelCrossing(c, *k, -1, level);
  const auto above = LevelCrossing(c, *k, 1, level);
  double width = 0;
  if (below && above) width = std::exp(*above) - std::exp(*below);
  else if (below) width = 2 * (r.ExtremumHertz - std::exp(*below));
  else if (above) width = 2 * (std::exp(*above) - r.ExtremumHertz);
  if (width > 0 && std::isfinite(width)) {
    r.Q = r.ExtremumHertz / width;
    r.Narrow = width / r.ExtremumHertz < TRules::NarrowSteps * GridStep(hertz, r.ExtremumHertz);
  } else {
    // dφ/d ln f = 2Q at a resonance, φ in radians.
    constexpr double h = 1e-5;
    const double slope = (c.At(lnf0 + h).degrees - c.At(lnf0 - h).degrees) / (2 * h);
    const double q = std::fabs(slope) * std::numbers::pi / 180.0 / 2.0;
    if (std::isfinite(q) && q > 0) r.Q = q;
  }
  return r;
}

}  // namespace

std::vector<TResonance> ModelResonances(const TCircuit& circuit,
                                        const std::vector<double>& measuredHertz) {
  std::vector<TResonance> found;
  if (measuredHertz.size() < 2) return found;
  const TCurve curve(circuit, measuredHertz.front(), measuredHertz.back());
  const auto& p = curve.Points();
  constexpr std::size_t kNone = std::size_t(-1);
  std::size_t last = kNone;  // the last point of definite sign, with nothing infinite since
  for (std::size_t i = 0; i < p.size(); ++i) {
    if (!std::isfinite(p[i].degrees) || !std::isfinite(p[i].lnz)) {
      last = kNone;
      continue;
    }
    const int sign = TRules::PhaseSign(p[i].degrees);
    if (sign == 0) continue;
    if (last != kNone && TRules::PhaseSign(p[last].degrees) != sign) {
      if (auto r = ResonanceBetween(curve, last, i, measuredHertz)) found.push_back(*r);
    }
    last = i;
  }
  return found;
}

}  // namespace doz::analysis

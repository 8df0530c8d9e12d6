#include "Fit_features.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace doz::analysis {
namespace {

using TSamples = std::vector<TImpedanceSample>;

constexpr std::size_t kEndPoints = 3;  // averaged at each end against noise

std::optional<double> Positive(double v) {
  if (!(v > 0) || !std::isfinite(v)) return std::nullopt;
  return v;
}

TEnd EndOf(const TSamples& s, bool low) {
  const std::size_t n = std::min(kEndPoints, s.size());
  TEnd end;
  for (std::size_t i = 0; i < n; ++i) {
    const TImpedanceSample& p = low ? s[i] : s[s.size() - 1 - i];
    end.w += Omega(p.Hertz) / double(n);
    end.z += p.Z / double(n);
  }
  // Opposite phases at one end can cancel; the magnitude then still counts.
  if (!(std::abs(end.z) > 0)) end.z = low ? s.front().Z : s.back().Z;
  return end;
}

double Median(std::vector<double> v, double fallback) {
  std::erase_if(v, [](double x) { return !(x > 0) || !std::isfinite(x); });
  if (v.empty()) return fallback;
  std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
  return v[v.size() / 2];
}

// Where the phase never passes zero (a damped resonator) the extremes of |Z|
// inside the band stand in for the resonances of that kind. A resonator
// with a capacitance across it falls as 1/f around its resonances: there
// the extremes of |Z|·f count.
std::vector<TResonance> WithExtremes(const TSamples& s, std::vector<TResonance> found,
                                     bool capacitive) {
  const auto has = [&found](TResonanceKind kind) {
    return std::any_of(found.begin(), found.end(),
                       [kind](const TResonance& r) { return r.Kind == kind; });
  };
  const auto weighted = [capacitive](const TImpedanceSample& a) {
    return capacitive ? a.Ohms * a.Hertz : a.Ohms;
  };
  const auto lower = [&](const TImpedanceSample& a, const TImpedanceSample& b) {
    return weighted(a) < weighted(b);
  };
  const auto inner = [&s](auto it) { return it != s.begin() && it + 1 != s.end(); };
  const auto extreme = [](TResonanceKind kind, const TImpedanceSample& p) {
    return TResonance{kind, p.Hertz, p.Ohms, p.Hertz, p.Ohms, {}, TResonanceSource::Data, false};
  };
  const auto dip = std::min_element(s.begin(), s.end(), lower);
  if (!has(TResonanceKind::Dip) && inner(dip)) found.push_back(extreme(TResonanceKind::Dip, *dip));
  const auto from = has(TResonanceKind::Dip) || !inner(dip) ? s.begin() : dip;
  const auto peak = std::max_element(from, s.end(), lower);
  if (!has(TResonanceKind::Peak) && inner(peak))
    found.push_back(extreme(TResonanceKind::Peak, *peak));
  return found;
}

// Neighbours on either side a turn must stand out from, and by how much (in
// ln |Z| or in degrees): well above the unit's noise.
constexpr std::size_t kTurnReach = 6;
constexpr double kTurnLn = 0.02;
constexpr double kTurnDegrees = 1.0;

// Indices where value(i) is the highest or lowest of its reach on both
// sides and clears both ends of the reach by `clear`.
template <typename TValue>
void AddTurns(const TSamples& s, TValue value, double clear, std::vector<std::size_t>& turns) {
  for (std::size_t i = kTurnReach; i + kTurnReach < s.size(); ++i) {
    const double v = value(s[i]);
    bool top = true, bottom = true;
    for (std::size_t j = i - kTurnReach; j <= i + kTurnReach; ++j) {
      top = top && value(s[j]) <= v;
      bottom = bottom && value(s[j]) >= v;
    }
    const double a = value(s[i - kTurnReach]), b = value(s[i + kTurnReach]);
    const bool clears = std::min(std::fabs(v - a), std::fabs(v - b)) > clear;
    if ((top || bottom) && clears) turns.push_back(i);
  }
}

std::vector<TImpedanceSample> TurnsOf(const TSamples& s) {
  std::vector<std::size_t> turns;
  AddTurns(s, [](const TImpedanceSample& p) { return std::log(p.Ohms); }, kTurnLn, turns);
  AddTurns(s, [](const TImpedanceSample& p) { return p.Degrees; }, kTurnDegrees, turns);
  std::sort(turns.begin(), turns.end());
  turns.erase(std::unique(turns.begin(), turns.end()), turns.end());
  std::vector<TImpedanceSample> points;
  for (std::size_t i : turns) points.push_back(s[i]);
  return points;
}

}  // namespace

double Omega(double hertz) { return 2.0 * std::numbers::pi * hertz; }

std::optional<double> TEnd::SeriesL() const { return Positive(z.imag() / w); }
std::optional<double> TEnd::SeriesC() const { return Positive(-1.0 / (w * z.imag())); }
std::optional<double> TEnd::ParallelL() const { return Positive(-1.0 / (w * (1.0 / z).imag())); }
std::optional<double> TEnd::ParallelC() const { return Positive((1.0 / z).imag() / w); }
std::optional<double> TEnd::Rs() const { return Positive(z.real()); }
std::optional<double> TEnd::Rp() const { return Positive(1.0 / (1.0 / z).real()); }

const TResonance* TFitFeatures::Strongest(TResonanceKind kind, bool capacitive,
                                          double aboveHertz) const {
  const TResonance* best = nullptr;
  for (const TResonance& r : extremes_[capacitive ? 1 : 0]) {
    if (r.Kind != kind || r.Hertz <= aboveHertz) continue;
    const bool stronger = !best || (kind == TResonanceKind::Peak ? r.ExtremumOhms > best->ExtremumOhms
                                                                 : r.ExtremumOhms < best->ExtremumOhms);
    if (stronger) best = &r;
  }
  return best;
}

double TFitFeatures::MedianSeries(bool inductive, double fallback) const {
  std::vector<double> v;
  for (const auto& p : Samples) {
    const double x = p.Z.imag(), w = Omega(p.Hertz);
    v.push_back(inductive ? x / w : -1.0 / (w * x));
  }
  return Median(v, fallback);
}

TFitFeatures FeaturesOf(std::vector<TImpedanceSample> samples) {
  TFitFeatures f;
  f.Samples = std::move(samples);
  f.Found = FindResonances(f.Samples);
  f.Low = EndOf(f.Samples, true);
  f.High = EndOf(f.Samples, false);
  std::vector<double> ohms, rs;
  for (const auto& p : f.Samples) {
    ohms.push_back(p.Ohms);
    rs.push_back(p.Z.real());
  }
  f.MedianOhms = Median(ohms, 1.0);
  f.MedianRs = Median(rs, f.MedianOhms);
  f.Turns = TurnsOf(f.Samples);
  f.extremes_[0] = WithExtremes(f.Samples, f.Found, false);
  f.extremes_[1] = WithExtremes(f.Samples, f.Found, true);
  return f;
}

}  // namespace doz::analysis

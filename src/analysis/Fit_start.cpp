#include "Fit_start.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace doz::analysis {
namespace {

using TSamples = std::vector<TImpedanceSample>;
using TStarts = std::vector<std::vector<double>>;
using TComplex = std::complex<double>;

constexpr std::size_t kEndPoints = 3;  // averaged at each end against noise
// Of the capacitance that alone would give |Z| at an end of the band: a
// part that small (across) or that large (in series) hardly shows.
constexpr double kSmallShunt = 0.01;

double Omega(double hertz) { return 2.0 * std::numbers::pi * hertz; }

// The mean impedance and angular frequency of the first or last few points.
struct TEnd {
  double w = 0;
  TComplex z;

  std::optional<double> SeriesL() const { return Positive(z.imag() / w); }
  std::optional<double> SeriesC() const { return Positive(-1.0 / (w * z.imag())); }
  std::optional<double> ParallelL() const { return Positive(-1.0 / (w * (1.0 / z).imag())); }
  std::optional<double> ParallelC() const { return Positive((1.0 / z).imag() / w); }
  std::optional<double> Rs() const { return Positive(z.real()); }
  // The part that would give the whole |Z| on its own.
  double L() const { return std::abs(z) / w; }
  double C() const { return 1.0 / (w * std::abs(z)); }

  static std::optional<double> Positive(double v) {
    if (!(v > 0) || !std::isfinite(v)) return std::nullopt;
    return v;
  }
};

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

double MedianOhms(const TSamples& s) {
  std::vector<double> v;
  for (const auto& p : s) v.push_back(p.Ohms);
  return Median(v, 1.0);
}

double MedianRs(const TSamples& s) {
  std::vector<double> v;
  for (const auto& p : s) v.push_back(p.Z.real());
  return Median(v, MedianOhms(s));
}

// Xs/ω where inductive, or -1/(ω Xs) where capacitive.
double MedianSeries(const TSamples& s, bool inductive, double fallback) {
  std::vector<double> v;
  for (const auto& p : s) {
    const double x = p.Z.imag(), w = Omega(p.Hertz);
    v.push_back(inductive ? x / w : -1.0 / (w * x));
  }
  return Median(v, fallback);
}

const TResonance* Strongest(const std::vector<TResonance>& found, TResonanceKind kind,
                            double aboveHertz = 0) {
  const TResonance* best = nullptr;
  for (const TResonance& r : found) {
    if (r.Kind != kind || r.Hertz <= aboveHertz) continue;
    const bool stronger =
        !best || (kind == TResonanceKind::Peak ? r.Ohms > best->Ohms : r.Ohms < best->Ohms);
    if (stronger) best = &r;
  }
  return best;
}

// L and C that resonate at w0, one of them given.
double Partner(double w0, double part) { return 1.0 / (w0 * w0 * part); }

TStarts SeriesRlc(const TSamples& s, const std::vector<TResonance>& found, const TEnd& lo,
                  const TEnd& hi) {
  const double c = lo.SeriesC().value_or(lo.C());
  const double l = hi.SeriesL().value_or(hi.L());
  const TResonance* dip = Strongest(found, TResonanceKind::Dip);
  if (!dip) return {{MedianRs(s), l, c}};
  const double w0 = Omega(dip->Hertz);
  return {{dip->Ohms, Partner(w0, c), c}, {dip->Ohms, l, Partner(w0, l)}};
}

TStarts ParallelRlc(const TSamples& s, const std::vector<TResonance>& found, const TEnd& lo,
                    const TEnd& hi) {
  const double l = lo.ParallelL().value_or(lo.L());
  const double c = hi.ParallelC().value_or(hi.C());
  const TResonance* peak = Strongest(found, TResonanceKind::Peak);
  if (!peak) {
    const auto most = std::max_element(
        s.begin(), s.end(), [](const auto& a, const auto& b) { return a.Ohms < b.Ohms; });
    return {{most->Ohms, l, c}};
  }
  const double w0 = Omega(peak->Hertz);
  return {{peak->Ohms, l, Partner(w0, l)}, {peak->Ohms, Partner(w0, c), c}};
}

TStarts Coil(const std::vector<TResonance>& found, const TEnd& lo, const TEnd& hi) {
  const double r = lo.Rs().value_or(std::abs(lo.z));
  const double l = lo.SeriesL().value_or(lo.L());
  const TResonance* peak = Strongest(found, TResonanceKind::Peak);
  if (!peak) return {{r, l, hi.ParallelC().value_or(hi.C())}};
  // At the peak |Z| = L/(RC) and LC = 1/w0².
  const double w0 = Omega(peak->Hertz);
  const double root = std::sqrt(peak->Ohms * r);
  return {{r, root / w0, 1.0 / (w0 * root)}, {r, l, Partner(w0, l)}};
}

TStarts Bvd(const TSamples& s, const std::vector<TResonance>& found, const TEnd& lo,
            const TEnd& hi) {
  // A series circuit with a capacitance across it too small to matter within
  // the band: the resonator whose parallel resonance lies beyond it.
  TStarts starts;
  for (const auto& v : SeriesRlc(s, found, lo, hi))
    starts.push_back({v[0], v[1], v[2], hi.C() * kSmallShunt});
  // And a winding with a capacitance in series too large to matter: the
  // resonator whose series resonance lies below the band.
  for (const auto& v : Coil(found, lo, hi))
    starts.push_back({v[0], v[1], lo.C() / kSmallShunt, v[2]});
  const TResonance* dip = Strongest(found, TResonanceKind::Dip);
  const TResonance* peak = dip ? Strongest(found, TResonanceKind::Peak, dip->Hertz) : nullptr;
  if (!dip || !peak) return starts;
  // fp/fs = sqrt(1 + C1/C0); below both resonances the capacitance is C0 + C1.
  const double total = lo.ParallelC().value_or(lo.C());
  const double ws = Omega(dip->Hertz);
  const double ratio = std::pow(peak->Hertz / dip->Hertz, 2);
  const double c0 = total / ratio;
  const double c1 = total - c0;
  const double c0High = hi.ParallelC().value_or(c0);
  const double c1High = c0High * (ratio - 1.0);
  starts.insert(starts.begin(), {{dip->Ohms, Partner(ws, c1), c1, c0},
                                 {dip->Ohms, Partner(ws, c1High), c1High, c0High}});
  return starts;
}

// Where the phase never passes zero (a damped resonator) the extremes of |Z|
// inside the band stand in for the resonances of that kind. A resonator
// with a capacitance across it (bvd) falls as 1/f around its resonances:
// there the extremes of |Z|·f count.
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
  const auto dip = std::min_element(s.begin(), s.end(), lower);
  if (!has(TResonanceKind::Dip) && inner(dip))
    found.push_back({TResonanceKind::Dip, dip->Hertz, dip->Ohms, {}});
  const auto from = has(TResonanceKind::Dip) || !inner(dip) ? s.begin() : dip;
  const auto peak = std::max_element(from, s.end(), lower);
  if (!has(TResonanceKind::Peak) && inner(peak))
    found.push_back({TResonanceKind::Peak, peak->Hertz, peak->Ohms, {}});
  return found;
}

bool Usable(const std::vector<double>& start) {
  return std::all_of(start.begin(), start.end(),
                     [](double v) { return v > 0 && std::isfinite(v); });
}

}  // namespace

TStarts StartValues(TCircuitKind kind, const TSamples& s,
                    const std::vector<TResonance>& resonances) {
  const std::vector<TResonance> found = WithExtremes(s, resonances, kind == TCircuitKind::Bvd);
  const TEnd lo = EndOf(s, true);
  const TEnd hi = EndOf(s, false);
  TStarts starts;
  switch (kind) {
    case TCircuitKind::Rl:
      starts = {{MedianRs(s), MedianSeries(s, true, hi.L())}};
      break;
    case TCircuitKind::Rc:
      starts = {{MedianRs(s), MedianSeries(s, false, lo.C())}};
      break;
    case TCircuitKind::Rlc:
      starts = SeriesRlc(s, found, lo, hi);
      break;
    case TCircuitKind::RlcParallel:
      starts = ParallelRlc(s, found, lo, hi);
      break;
    case TCircuitKind::Coil:
      starts = Coil(found, lo, hi);
      break;
    case TCircuitKind::Bvd:
      starts = Bvd(s, found, lo, hi);
      break;
  }
  std::erase_if(starts, [](const std::vector<double>& v) { return !Usable(v); });
  // Whatever the data, one start stands: every part at the size of the
  // median impedance at the median frequency.
  const double ohms = MedianOhms(s);
  const double w = Omega(s[s.size() / 2].Hertz);
  std::vector<double> plain;
  for (const char* name : ParameterNames(kind)) {
    plain.push_back(name[0] == 'L' ? ohms / w : name[0] == 'C' ? 1.0 / (w * ohms) : ohms);
  }
  if (starts.empty() && Usable(plain)) starts.push_back(plain);
  return starts;
}

}  // namespace doz::analysis

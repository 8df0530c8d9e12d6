#include "Fit_start.h"

#include <algorithm>
#include <cmath>

namespace doz::analysis {
namespace {

// Of the capacitance that alone would give |Z| at an end of the band: a
// part that small (across) or that large (in series) hardly shows.
constexpr double kSmallShunt = 0.01;
// The mechanical quality a loudspeaker's start tries besides the one its
// peak suggests: from a heavily damped to a lightly damped cone.
constexpr double kSpeakerQs[] = {2.0, 8.0};

using enum TResonanceKind;

// The |Z| peak's height and the series resistance under it.
struct TMotional {
  double w0;
  double ohms;  // of the parallel branch alone
  double q;     // of the |Z| curve at the peak, as a first guess of the branch's
};

std::optional<TMotional> MotionalOf(const TFitFeatures& f, double series) {
  const TResonance* peak = f.Strongest(Peak);
  if (!peak) return std::nullopt;
  const double ohms = peak->ExtremumOhms - series;
  if (!(ohms > 0)) return std::nullopt;
  return TMotional{Omega(peak->ExtremumHertz), ohms, peak->Q.value_or(kSpeakerQs[0])};
}

// Res, Lces and Cmes of a parallel branch with that resonance and quality.
std::vector<double> Branch(const TMotional& m, double q) {
  return {m.ohms, m.ohms / (m.w0 * q), q / (m.w0 * m.ohms)};
}

double SeriesResistance(const TFitFeatures& f) { return f.Low.Rs().value_or(f.MedianRs); }

// capacitive: the resonances of a circuit with a capacitance across it.
TStarts SeriesRlc(const TFitFeatures& f, bool capacitive) {
  const double c = f.Low.SeriesC().value_or(f.Low.C());
  const double l = f.High.SeriesL().value_or(f.High.L());
  const TResonance* dip = f.Strongest(Dip, capacitive);
  if (!dip) return {{f.MedianRs, l, c}};
  const double w0 = Omega(dip->Hertz);
  return {{dip->ExtremumOhms, Partner(w0, c), c}, {dip->ExtremumOhms, l, Partner(w0, l)}};
}

TStarts Winding(const TFitFeatures& f, bool capacitive) {
  const double r = f.Low.Rs().value_or(std::abs(f.Low.z));
  const double l = f.Low.SeriesL().value_or(f.Low.L());
  const TResonance* peak = f.Strongest(Peak, capacitive);
  if (!peak) return {{r, l, f.High.ParallelC().value_or(f.High.C())}};
  // At the peak |Z| = L/(RC) and LC = 1/w0².
  const double w0 = Omega(peak->Hertz);
  const double root = std::sqrt(peak->ExtremumOhms * r);
  return {{r, root / w0, 1.0 / (w0 * root)}, {r, l, Partner(w0, l)}};
}

}  // namespace

TStarts RlStarts(const TFitFeatures& f) {
  return {{f.MedianRs, f.MedianSeries(true, f.High.L())}};
}

TStarts RcStarts(const TFitFeatures& f) {
  return {{f.MedianRs, f.MedianSeries(false, f.Low.C())}};
}

TStarts RlcStarts(const TFitFeatures& f) { return SeriesRlc(f, false); }

TStarts RlcParallelStarts(const TFitFeatures& f) {
  const double l = f.Low.ParallelL().value_or(f.Low.L());
  const double c = f.High.ParallelC().value_or(f.High.C());
  const TResonance* peak = f.Strongest(Peak);
  if (!peak) {
    const auto most = std::max_element(f.Samples.begin(), f.Samples.end(),
                                       [](const auto& a, const auto& b) { return a.Ohms < b.Ohms; });
    return {{most->Ohms, l, c}};
  }
  const double w0 = Omega(peak->Hertz);
  return {{peak->ExtremumOhms, l, Partner(w0, l)}, {peak->ExtremumOhms, Partner(w0, c), c}};
}

TStarts CoilStarts(const TFitFeatures& f) { return Winding(f, false); }

TStarts BvdStarts(const TFitFeatures& f) {
  // A series circuit with a capacitance across it too small to matter within
  // the band: the resonator whose parallel resonance lies beyond it.
  TStarts starts;
  for (const auto& v : SeriesRlc(f, true)) starts.push_back({v[0], v[1], v[2], f.High.C() * kSmallShunt});
  // And a winding with a capacitance in series too large to matter: the
  // resonator whose series resonance lies below the band.
  for (const auto& v : Winding(f, true)) starts.push_back({v[0], v[1], f.Low.C() / kSmallShunt, v[2]});
  const TResonance* dip = f.Strongest(Dip, true);
  const TResonance* peak = dip ? f.Strongest(Peak, true, dip->Hertz) : nullptr;
  if (!dip || !peak) return starts;
  // fp/fs = sqrt(1 + C1/C0); below both resonances the capacitance is C0 + C1.
  const double total = f.Low.ParallelC().value_or(f.Low.C());
  const double ws = Omega(dip->Hertz);
  const double ratio = std::pow(peak->Hertz / dip->Hertz, 2);
  const double c0 = total / ratio;
  const double c1 = total - c0;
  const double c0High = f.High.ParallelC().value_or(c0);
  const double c1High = c0High * (ratio - 1.0);
  starts.insert(starts.begin(), {{dip->ExtremumOhms, Partner(ws, c1), c1, c0},
                                 {dip->ExtremumOhms, Partner(ws, c1High), c1High, c0High}});
  return starts;
}

TStarts SpeakerStarts(const TFitFeatures& f) {
  const double re = SeriesResistance(f);
  const double le = f.High.SeriesL().value_or(f.High.L());
  const auto motional = MotionalOf(f, re);
  if (!motional) return {};
  TStarts starts;
  for (const double q : {motional->q, kSpeakerQs[0], kSpeakerQs[1]}) {
    const auto branch = Branch(*motional, q);
    starts.push_back({re, le, branch[0], branch[1], branch[2]});
  }
  return starts;
}

TStarts LossySpeakerStarts(const TFitFeatures& f) {
  // The voice coil's losses: half its inductance stays, the other half is
  // shunted by the resistance the high end adds over Re.
  const double re = SeriesResistance(f);
  const double rise = f.High.Rs().value_or(2 * re) - re;
  TStarts starts;
  for (const auto& v : SpeakerStarts(f)) {
    starts.push_back({v[0], v[1] / 2, v[1], rise > 0 ? rise : re, v[2], v[3], v[4]});
  }
  return starts;
}

TStarts PickupStarts(const TFitFeatures& f) {
  TStarts starts;
  const TResonance* peak = f.Strongest(Peak);
  for (const auto& v : CoilStarts(f)) {
    // The load across lowers the winding's own peak L/(RC) to the one seen.
    const double own = v[1] / (v[0] * v[2]);
    const double seen = peak ? peak->ExtremumOhms : own;
    const double rp = own > seen ? own * seen / (own - seen) : 10 * own;
    starts.push_back({v[0], v[1], v[2], rp});
  }
  return starts;
}

TStarts TransformerStarts(const TFitFeatures& f) {
  const double r = SeriesResistance(f);
  const double l = f.Low.SeriesL().value_or(f.Low.L());
  const double rp = f.High.Rs().value_or(std::abs(f.High.z)) - r;
  return {{r, l, rp > 0 ? rp : std::abs(f.High.z)}};
}

}  // namespace doz::analysis

#include "Speaker_parameters.h"

#include <cmath>
#include <numbers>

namespace doz::analysis {
namespace {

constexpr double kAirStiffness = kAirDensity * kSoundSpeed * kSoundSpeed;  // ρ c², Pa

double TwoPi() { return 2.0 * std::numbers::pi; }

bool Positive(std::optional<double> v) { return !v || (*v > 0 && std::isfinite(*v)); }

// Cms, Bl and, with Sd, Vas from the moving mass.
TMechanical FromMass(const TThieleSmall& free, double mms, std::optional<double> sd) {
  TMechanical m;
  m.Mms = mms;
  m.Cms = 1.0 / std::pow(TwoPi() * free.Fs, 2) / mms;
  m.Bl = std::sqrt(TwoPi() * free.Fs * mms * free.Re / free.Qes);
  if (sd) m.Vas = kAirStiffness * *sd * *sd * *m.Cms;
  return m;
}

}  // namespace

std::optional<TThieleSmall> ThieleSmallOf(const TCircuit& circuit) {
  const auto re = circuit.Value("Re"), le = circuit.Value("Le"), res = circuit.Value("Res");
  const auto lces = circuit.Value("Lces"), cmes = circuit.Value("Cmes");
  if (!re || !le || !res || !lces || !cmes) return std::nullopt;
  const double root = std::sqrt(*cmes / *lces);
  TThieleSmall ts{1.0 / (TwoPi() * std::sqrt(*lces * *cmes)), *res * root, *re * root, 0, *re, *le};
  ts.Qts = ts.Qms * ts.Qes / (ts.Qms + ts.Qes);
  return ts;
}

std::vector<TDerivedValue> SpeakerFigures(const TCircuit& circuit) {
  const auto ts = ThieleSmallOf(circuit);
  if (!ts) return {};
  return {{"fs", ts->Fs, "Hz"}, {"Qms", ts->Qms, ""}, {"Qes", ts->Qes, ""}, {"Qts", ts->Qts, ""}};
}

TMechanicalResult AddedMass(const TThieleSmall& free, const TThieleSmall& loaded, double kilograms,
                            std::optional<double> sd) {
  if (!(kilograms > 0) || !std::isfinite(kilograms) || !Positive(sd))
    return TSecondSweepFault::NotPositive;
  if (!(loaded.Fs < free.Fs)) return TSecondSweepFault::NotLower;
  return FromMass(free, kilograms / (std::pow(free.Fs / loaded.Fs, 2) - 1.0), sd);
}

TMechanicalResult ClosedBox(const TThieleSmall& free, const TThieleSmall& boxed, double cubicMetres,
                            std::optional<double> sd) {
  if (!(cubicMetres > 0) || !std::isfinite(cubicMetres) || !Positive(sd))
    return TSecondSweepFault::NotPositive;
  if (!(boxed.Fs > free.Fs)) return TSecondSweepFault::NotHigher;
  const double vas = cubicMetres * (boxed.Fs * boxed.Qes / (free.Fs * free.Qes) - 1.0);
  if (!(vas > 0)) return TSecondSweepFault::NotHigher;
  if (!sd) return TMechanical{{}, {}, {}, vas};
  const double cms = vas / (kAirStiffness * *sd * *sd);
  TMechanical m = FromMass(free, 1.0 / std::pow(TwoPi() * free.Fs, 2) / cms, sd);
  m.Vas = vas;
  return m;
}

}  // namespace doz::analysis

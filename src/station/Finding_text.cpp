// The findings of a judgement in English: the reasons a result row keeps
// and doz-cli inspect prints.
#include <cmath>
#include <cstring>

#include "Judgement.h"
#include "Number_text.h"
#include "Si_number.h"

namespace doz::station {
namespace {

using namespace analysis;

bool Relative(const char* unit) {
  return std::strcmp(unit, "%") == 0 || std::strcmp(unit, "°") == 0;
}

std::string SignedText(double value, const char* unit) {
  return SignedNumberText(value, 2) + (std::strcmp(unit, "%") == 0 ? " %" : unit);
}

std::string BoundsText(const TBounds& b, const char* unit) {
  if (b.Lower && b.Upper) return ValueText(*b.Lower, unit) + " .. " + ValueText(*b.Upper, unit);
  if (b.Lower) return "at least " + ValueText(*b.Lower, unit);
  return "at most " + ValueText(b.Upper.value_or(0), unit);
}

// ": above the maximum 2.60 H by 50.0 mH", or " within 2.40 H .. 2.60 H".
std::string AgainstText(const TBounds& b, double value, const char* unit) {
  const double excess = b.Excess(value);
  if (excess > 0)
    return ": above the maximum " + ValueText(*b.Upper, unit) + " by " + ValueText(excess, unit);
  if (excess < 0)
    return ": below the minimum " + ValueText(*b.Lower, unit) + " by " + ValueText(-excess, unit);
  return " within " + BoundsText(b, unit);
}

std::string GoldenText(const TFinding& f) {
  const std::string what = f.Kind == TFindingKind::Magnitude ? "|Z|" : "phase";
  const std::string tolerance = "±" + ValueText(f.Bounds.Upper.value_or(0), f.Unit);
  const std::string worst =
      "worst " + SignedText(f.Value, f.Unit) + " at " + FormatSi(f.Hertz, "Hz");
  if (f.Pass)
    return what + " within " + tolerance + " of the golden at " + std::to_string(f.Compared) +
           " points (" + worst + ")";
  const double beyond = std::fabs(f.Value) - f.Bounds.Upper.value_or(0);
  return what + " outside " + tolerance + " of the golden at " + std::to_string(f.Outside) +
         " of " + std::to_string(f.Compared) + " points; " + worst + ", " +
         ValueText(beyond, f.Unit) + " beyond";
}

}  // namespace

std::string ValueText(double value, const char* unit) {
  if (Relative(unit))
    return NumberText(value, std::chars_format::fixed, 2) +
           (std::strcmp(unit, "%") == 0 ? " %" : unit);
  if (*unit == '\0') return NumberText(value, std::chars_format::general, 3);
  return FormatSi(value, unit);
}

std::string FindingText(const TFinding& f) {
  switch (f.Kind) {
    case TFindingKind::Magnitude:
    case TFindingKind::Phase:
      return GoldenText(f);
    case TFindingKind::NoCommonPoint:
      return "the measurement holds no point where the golden does";
    case TFindingKind::Value:
      return f.Name + " = " + ValueText(f.Value, f.Unit) + AgainstText(f.Bounds, f.Value, f.Unit);
    case TFindingKind::NoFit:
      return std::string("the model ") + f.Name + " could not be fitted (" +
             RefusalText(f.Refusal) + ")";
    case TFindingKind::PoorFit:
      return "the model " + f.Name + " does not fit the points: error " +
             ValueText(100 * f.Value, "%") + " where the noise explains " +
             ValueText(100 * f.Expected, "%");
    case TFindingKind::Undetermined:
      return f.Name + " = " + ValueText(f.Value, f.Unit) +
             " is not fixed by the data (it ended at a limit of its range, or its "
             "uncertainty is as large as itself)";
    case TFindingKind::Resonance:
      return std::string(ResonanceName(f.ResonanceKind)) + " at " + ValueText(f.Value, "Hz") +
             AgainstText(f.Bounds, f.Value, "Hz");
    case TFindingKind::NoResonance:
      return std::string("no ") + ResonanceName(f.ResonanceKind) + " resonance (wanted " +
             BoundsText(f.Bounds, "Hz") + ")";
  }
  return "";
}

}  // namespace doz::station

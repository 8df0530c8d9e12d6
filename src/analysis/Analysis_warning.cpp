#include "Analysis_warning.h"

#include "Circuit_model.h"
#include "Number_text.h"
#include "Si_number.h"

namespace doz::analysis {
namespace {

std::string Percent(double fraction) {
  return NumberText(100.0 * fraction, std::chars_format::fixed, fraction < 0.01 ? 2 : 1) + " %";
}

}  // namespace

const char* WarningCodeName(TWarningCode code) {
  switch (code) {
    case TWarningCode::ClippedPoints:
      return "clipped-points";
    case TWarningCode::AtBound:
      return "at-bound";
    case TWarningCode::PoorFit:
      return "poor-fit";
    case TWarningCode::NarrowResonance:
      return "narrow-resonance";
    case TWarningCode::NoUncertainty:
      return "no-uncertainty";
    case TWarningCode::Undetermined:
      return "undetermined";
  }
  return "";
}

std::string WarningText(const TAnalysisWarning& w) {
  switch (w.Code) {
    case TWarningCode::ClippedPoints:
      return std::to_string(w.Count) + (w.Count == 1 ? " point" : " points") +
             " at the unit's maximum |Z| (16777215 Ω) or at 0 Ω left out";
    case TWarningCode::AtBound:
      return w.Subject + " ended at the " + (w.High ? "upper" : "lower") + " limit of its range (" +
             FormatSi(w.Reference, ParameterUnit(w.Subject)) +
             "): the data do not determine it; a simpler circuit may do";
    case TWarningCode::PoorFit:
      return (w.Automatic ? "no preset fits well; the closest, " + w.Subject + ", leaves "
                          : w.Subject + " fits poorly: ") +
             Percent(w.Value) + " error where the noise and the rounding explain about " +
             Percent(w.Reference);
    case TWarningCode::NarrowResonance:
      return "the resonance at " + FormatSi(w.Value, "Hz") +
             " is narrower than three grid steps: its Q (" +
             NumberText(w.Reference, std::chars_format::general, 3) + ") is a lower bound";
    case TWarningCode::NoUncertainty:
      return "the values of " + w.Subject +
             " trade off against each other: no uncertainty can be given";
    case TWarningCode::Undetermined: {
      const char* unit = ParameterUnit(w.Subject);
      return w.Subject + " = " + FormatSi(w.Value, unit) + " ± " + FormatSi(w.Reference, unit) +
             ": the data do not determine it, nor what is derived from it; a simpler circuit "
             "may do";
    }
  }
  return "";
}

}  // namespace doz::analysis

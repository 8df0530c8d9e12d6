// One measurement judged against the criteria: every check with its facts
// (what was measured, against which bounds, by how much it missed), the
// verdict, and the values to record with the part. The facts are for
// people in either language: FindingText words them in English, the
// station window in Japanese.
#pragma once

#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "Circuit_fit.h"
#include "Criteria.h"
#include "Lead_compensation.h"
#include "Result_row.h"

namespace doz::station {

enum class TFindingKind {
  Magnitude,      // |Z| against the golden: Value the worst deviation in %
  Phase,          // phase against the golden: Value the worst deviation in degrees
  NoCommonPoint,  // the measurement holds no point where the golden does
  Value,          // a limit on a fitted value or a derived figure
  NoFit,          // the model could not be fitted: Refusal says why
  PoorFit,        // the model misses the points: Value its error, Expected the noise's
  Undetermined,   // the data do not fix Name (TCircuitFit::Undetermined)
  Resonance,      // the frequency of a resonance of ResonanceKind
  NoResonance,    // no resonance of ResonanceKind at all
};

struct TFinding {
  TFindingKind Kind = TFindingKind::Value;
  bool Pass = false;
  std::string Name;  // the value's name ("L", "fs", "f_peak"); the model's for a fit
  double Value = 0;
  TBounds Bounds;  // what Value was judged against
  const char* Unit = "";
  double Hertz = 0;  // Magnitude, Phase: where the worst deviation lies
  int Outside = 0;   // Magnitude, Phase: points outside the tolerance
  int Compared = 0;
  double Expected = 0;  // PoorFit: the error the noise and the rounding explain
  analysis::TResonanceKind ResonanceKind = analysis::TResonanceKind::Peak;
  analysis::TFitRefusal Refusal = analysis::TFitRefusal::NoPoints;
  int Line = 0;  // of the criteria file; 0 for the golden's two checks
};

struct TJudgement {
  results::TVerdict Verdict = results::TVerdict::Pass;
  std::vector<TFinding> Findings;  // the golden's, the model's, the resonances'
  // The fitted values and derived figures (with the limits judged), the
  // golden's worst deviations and the resonance frequencies judged.
  std::vector<results::TFittedValue> Values;
  bool Stopped = false;  // the stop token cut the fit short: no verdict
};

// measured: the decoded (unsmoothed) values of a sweep of `band`; only the
// band's slots count.
TJudgement Judge(const TCriteria& criteria, const TCalcData& measured, int band,
                 std::stop_token stop = {});

// The criteria for a measurement corrected for its test leads: the golden
// was measured through the same leads and is corrected as the measurement
// is. Nothing when the compensation lacks a point of the golden's.
std::optional<TCriteria> Compensated(const TCriteria& criteria,
                                     const analysis::TLeadCompensation& leads);

// "L = 2.65 H: above the maximum 2.60 H by 50.0 mH".
std::string FindingText(const TFinding& finding);
// The texts of the findings that failed: the reasons a row keeps.
std::vector<std::string> ReasonTexts(const TJudgement& judgement);

// The unit of a recorded value by its name: "%" and "°" for the golden's
// deviations, "Hz" for frequencies, "Ω", "H", "F" for circuit elements, ""
// for ratios such as the Q of a loudspeaker.
const char* ValueUnit(std::string_view name);

// "2.50 H", "0.452" for a figure without a unit.
std::string ValueText(double value, const char* unit);

}  // namespace doz::station

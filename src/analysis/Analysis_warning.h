// What an analysis says about how far its numbers can be trusted: a code for
// programs, the facts behind it, and a text for people (English here; the
// window words them in Japanese from the same facts).
#pragma once

#include <string>

namespace doz::analysis {

enum class TWarningCode {
  ClippedPoints,    // points at the unit's maximum or at 0 Ω were left out
  AtBound,          // a value ended at a limit of its range: the data do not fix it
  PoorFit,          // the error is far above what noise and rounding explain
  NarrowResonance,  // narrower than about three grid steps: Q from the points is a lower bound
  NoUncertainty,    // the values trade off against each other: no uncertainty can be given
  Undetermined,     // a value's uncertainty is as large as the value: the data do not fix it
};

// "clipped-points", "at-bound", "poor-fit", "narrow-resonance", "no-uncertainty",
// "undetermined".
const char* WarningCodeName(TWarningCode code);

struct TAnalysisWarning {
  TWarningCode Code;
  std::string Subject;  // the parameter (at-bound, undetermined), the circuit (poor-fit)
  double Value = 0;     // the value, the relative error, the resonance's frequency
  double Reference = 0; // the limit reached; the error the noise explains; the resonance's
                        // Q; the value's uncertainty
  int Count = 0;        // clipped points
  bool High = false;    // at-bound: the upper limit
  bool Automatic = false;  // poor-fit of the automatic choice: no preset fits well
};

std::string WarningText(const TAnalysisWarning& warning);

}  // namespace doz::analysis

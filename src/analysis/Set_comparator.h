// A measurement against a reference: magnitude and phase at every grid
// point both hold, each within its tolerance or not.
#pragma once

#include <variant>
#include <vector>

#include "Doz_setting.h"

namespace doz::analysis {

struct TTolerance {
  double Percent = 5.0;  // of the reference's |Z|
  double Degrees = 5.0;  // of phase
};

// A signed deviation where it is largest in size.
struct TDeviation {
  double Value = 0.0;  // percent of the reference's |Z|, or degrees within ±180
  double Hertz = 0.0;  // the reference's frequency there
  int Slot = -1;
};

struct TComparison {
  int Compared = 0;
  std::vector<int> OutsideSlots;  // the slots of the points outside, ascending
  TDeviation WorstMagnitude;
  TDeviation WorstPhase;
};

enum class TCompareRefusal {
  NoCommonPoint,  // no slot where both hold a value (and the reference |Z| > 0)
  BadTolerance,   // a tolerance that is negative or not a number
};

using TCompareResult = std::variant<TComparison, TCompareRefusal>;

// Slot by slot over the whole grid; a point exactly at a tolerance is within.
// A reference |Z| of 0 leaves nothing to measure a percentage against: that
// point is not compared.
TCompareResult CompareSets(const TCalcData& measured, const TCalcData& reference,
                           const TTolerance& tolerance);

}  // namespace doz::analysis

// A measurement against a reference: points at and around both tolerances,
// the worst deviations, the points both hold, and the refusals.
#include "Set_comparator.h"

#include <gtest/gtest.h>

#include <cmath>

namespace doz::analysis {
namespace {

// Band 10's slots at 1 kohm and 10 degrees, with 100 Hz + slot as frequency.
TCalcData Flat() {
  TCalcData data;
  ClearCalcData(data);
  for (int i = 0; i <= 94; ++i) data.R[i] = 1000, data.Theta[i] = 10, data.Freq[i] = 100 + i;
  return data;
}

TEST(SetComparator, PointsAtTheToleranceAreWithinAndJustBeyondAreOutside) {
  const TCalcData reference = Flat();
  struct TCase {
    double ohms, degrees;
    bool outside;
  } cases[] = {
      {1050, 10, false}, {950, 10, false}, {1050.01, 10, true}, {949.99, 10, true},
      {1000, 15, false}, {1000, 5, false}, {1000, 15.01, true}, {1000, 4.99, true},
      {1050, 15, false}, {0, 10, true},    {1000, 370, false},  // a whole turn is no deviation
  };
  for (const TCase& c : cases) {
    TCalcData measured = Flat();
    measured.R[30] = c.ohms, measured.Theta[30] = c.degrees;
    const TCompareResult result = CompareSets(measured, reference, {5.0, 5.0});
    ASSERT_TRUE(std::holds_alternative<TComparison>(result));
    const TComparison& r = std::get<TComparison>(result);
    EXPECT_EQ(r.Compared, 95);
    EXPECT_EQ(r.OutsideSlots, c.outside ? std::vector<int>{30} : std::vector<int>{})
        << c.ohms << " ohm, " << c.degrees << " deg";
  }
}

TEST(SetComparator, WorstDeviationsCarryTheirSignAndFrequency) {
  const TCalcData reference = Flat();
  TCalcData measured = Flat();
  measured.R[3] = 1200, measured.R[60] = 700;        // +20 % and -30 %
  measured.Theta[7] = -170, measured.Theta[8] = 16;  // -180 wraps to +180; +6
  const TComparison r = std::get<TComparison>(CompareSets(measured, reference, {25.0, 7.0}));
  EXPECT_NEAR(r.WorstMagnitude.Value, -30.0, 1e-9);
  EXPECT_EQ(r.WorstMagnitude.Hertz, 160.0);
  EXPECT_NEAR(r.WorstPhase.Value, 180.0, 1e-9);
  EXPECT_EQ(r.WorstPhase.Slot, 7);
  EXPECT_EQ(r.OutsideSlots, (std::vector<int>{7, 60}));
}

TEST(SetComparator, OnlyPointsBothHoldAreCompared) {
  TCalcData measured = Flat();
  TCalcData reference;
  ClearCalcData(reference);
  for (int i = 90; i <= 215; ++i)
    reference.R[i] = 1000, reference.Freq[i] = 100 + i;  // band 9 and more
  measured.R[91] = -1.0;                                 // a gap
  measured.Freq[92] = 0.0;                               // a stopped sweep's cleared slot
  reference.R[93] = 0.0;                                 // nothing to take a percentage of
  const TCompareResult result = CompareSets(measured, reference, {});
  EXPECT_EQ(std::get<TComparison>(result).Compared, 2);  // slots 90 and 94

  ClearCalcData(reference);
  EXPECT_EQ(std::get<TCompareRefusal>(CompareSets(measured, reference, {})),
            TCompareRefusal::NoCommonPoint);
  EXPECT_EQ(std::get<TCompareRefusal>(CompareSets(measured, Flat(), {-1.0, 5.0})),
            TCompareRefusal::BadTolerance);
  EXPECT_EQ(std::get<TCompareRefusal>(CompareSets(measured, Flat(), {5.0, std::nan("")})),
            TCompareRefusal::BadTolerance);
}

}  // namespace
}  // namespace doz::analysis

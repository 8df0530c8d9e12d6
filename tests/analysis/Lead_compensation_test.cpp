// Open/short compensation against leads simulated exactly: the device comes
// back, each half alone does its part, and what cannot be corrected is said.
#include "Lead_compensation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "Fit_data.h"
#include "Synthetic_sweep.h"

namespace doz::analysis {
namespace {

using TComplex = std::complex<double>;

// Series R + L, then C across the device; an open device is infinite.
struct TLeads {
  double r = 0.8, l = 2e-6, c = 60e-12;
  TComplex Seen(TComplex device, double hertz) const {
    const double w = 2 * std::numbers::pi * hertz;
    const TComplex across = (std::isinf(device.real()) ? 0.0 : 1.0 / device) + TComplex(0, w * c);
    return TComplex(r, w * l) + 1.0 / across;
  }
};

TCalcData Through(const TLeads& leads, const TCircuit* device, int band = 1) {
  TCalcData set = test::SyntheticSweep(test::Circuit("rl:R=1,L=1"), band, {0, 0, 1});
  for (int i = BandFirstIndex(band); i <= BandLastIndex(band); ++i) {
    const TComplex z = leads.Seen(device ? device->Impedance(set.Freq[i]) : TComplex(INFINITY), set.Freq[i]);
    set.R[i] = std::abs(z);
    set.Theta[i] = std::arg(z) * 180 / std::numbers::pi;
  }
  return set;
}

TEST(LeadCompensation, TheDeviceComesBackFromBehindItsLeads) {
  const TLeads leads;
  const TCircuit coil = test::Circuit("coil:R=6800,L=2.5,C=400p");
  const TCircuit shorted = test::Circuit("rl:R=1u,L=1p");  // the leads' ends joined
  TLeadCompensation both;
  both.SetOpen(Through(leads, nullptr));
  both.SetShort(Through(leads, &shorted));
  TCalcData calc = Through(leads, &coil, 3), ave = calc;
  EXPECT_EQ(both.Covers(calc, 3), TCompensationFault::None);
  EXPECT_EQ(both.Apply(calc, ave, 3), 0);
  for (int i = BandFirstIndex(3); i <= BandLastIndex(3); ++i) {
    const TComplex z = coil.Impedance(calc.Freq[i]);
    EXPECT_NEAR(calc.R[i], std::abs(z), 1e-6 * std::abs(z)) << i;
    EXPECT_NEAR(calc.Theta[i], std::arg(z) * 180 / std::numbers::pi, 1e-6) << i;
  }
  // The smoothed set is the five-point mean of the corrected points.
  const int k = BandFirstIndex(3) + 10;
  EXPECT_NEAR(ave.R[k], (calc.R[k - 2] + calc.R[k - 1] + calc.R[k] + calc.R[k + 1] + calc.R[k + 2]) / 5, 1e-6);
}

TEST(LeadCompensation, EachHalfAloneAndAnOpenAtTheUnitsMaximum) {
  const int slot = 300;
  const TComplex zm(1000, 500);
  TCalcData open = Through({0, 0, 100e-12}, nullptr), shorted = open;
  shorted.R[slot] = std::abs(TComplex(2, 1)), shorted.Theta[slot] = std::arg(TComplex(2, 1)) * 180 / std::numbers::pi;
  TLeadCompensation o, s;
  o.SetOpen(open);
  s.SetShort(shorted);
  const TComplex yo = 1.0 / std::polar(open.R[slot], open.Theta[slot] * std::numbers::pi / 180);
  EXPECT_LT(std::abs(*o.Correct(slot, zm) - zm / (1.0 - zm * yo)), 1e-9 * std::abs(zm));
  EXPECT_LT(std::abs(*s.Correct(slot, zm) - (zm - TComplex(2, 1))), 1e-9 * std::abs(zm));
  open.R[slot] = kUnitMaxOhms;  // clipped: no stray admittance to take out
  o.SetOpen(open);
  EXPECT_EQ(*o.Correct(slot, zm), zm);
}

TEST(LeadCompensation, WhatCannotBeCorrectedLosesItsValueAndGapsAreRefused) {
  TCalcData open = Through({0, 0, 100e-12}, nullptr);
  TLeadCompensation leads;
  leads.SetOpen(open);
  TCalcData calc = open, ave = open;  // the open itself: the correction divides by zero
  calc.R[5] = -1.0;                   // a gap in the measurement is no gap in the cover
  EXPECT_EQ(leads.Covers(calc, 1), TCompensationFault::None);
  // Where the open itself reads beyond the unit's maximum it stays as it is.
  const int below = int(std::count_if(open.R.begin(), open.R.begin() + 556,
                                      [](double r) { return r < kUnitMaxOhms; }));
  EXPECT_EQ(leads.Apply(calc, ave, 1), below);
  EXPECT_EQ(calc.R[300], -1.0);
  // A negative resistance beyond the noise is no device either.
  EXPECT_FALSE(leads.Correct(300, TComplex(-50, 10)));
  const TCalcData measured = open;
  open.R[200] = -1.0;
  leads.SetOpen(open);
  EXPECT_EQ(leads.Covers(measured, 1), TCompensationFault::NotCovered);
  EXPECT_EQ(leads.Covers(measured, 10), TCompensationFault::None);  // 10 Hz to 100 Hz
}

}  // namespace
}  // namespace doz::analysis

// Open/short compensation of the test leads: the impedance the unit sees,
// corrected at each point of the common grid for the leads' series impedance
// (measured with the leads shorted together) and their stray admittance
// (measured with the leads open). A view of the measured values: the records
// stay as the unit sent them.
#pragma once

#include <complex>
#include <optional>

#include "Doz_setting.h"

namespace doz::analysis {

enum class TCompensationFault {
  None,
  NotCovered,  // a point of the measurement has no compensation point at its slot
};

class TLeadCompensation {
 public:
  // Decoded sweeps of the open and the shorted leads (any band; band 1 serves
  // every band); none clears that half.
  void SetOpen(std::optional<TCalcData> open) { open_ = std::move(open); }
  void SetShort(std::optional<TCalcData> shorted) { short_ = std::move(shorted); }
  bool HasOpen() const { return open_.has_value(); }
  bool HasShort() const { return short_.has_value(); }
  bool Empty() const { return !open_ && !short_; }

  // Whether every slot of the band that holds a value in the measurement
  // has one in each half present.
  TCompensationFault Covers(const TCalcData& measured, int band) const;

  // Zdut = (Zm - Zs) / (1 - (Zm - Zs) Yo), Yo = 1 / (Zo - Zs); with only an
  // open Zdut = Zm / (1 - Zm Yo), with only a short Zdut = Zm - Zs. An open
  // point at the unit's maximum has no stray admittance. None where the
  // correction is undefined or leaves a resistance below zero beyond the
  // noise.
  std::optional<std::complex<double>> Correct(int slot, std::complex<double> measured) const;

  // The band's points of `calc` corrected in place (a point at the unit's
  // maximum or without value stays as it is; one whose correction is
  // undefined loses its value) and `ave` made anew as the five-point mean of
  // the corrected points, skipping those without value. Returns how many
  // points lost their value.
  int Apply(TCalcData& calc, TCalcData& ave, int band) const;
  // One point during a sweep: calc corrected, ave the same (as a sweep's
  // points are before it ends). Whether it lost its value.
  bool ApplyPoint(TCalcData& calc, TCalcData& ave, int slot) const;

 private:
  std::optional<TCalcData> open_;
  std::optional<TCalcData> short_;
};

}  // namespace doz::analysis

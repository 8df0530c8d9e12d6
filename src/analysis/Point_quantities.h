// What one point's impedance means as a series and as a parallel circuit.
#pragma once

#include <optional>

#include "Impedance_sample.h"

namespace doz::analysis {

// A value that has no meaning at the point (Ls of a capacitive point, Q of
// a point without resistance) or would not be finite is absent.
struct TPointQuantities {
  double Rs;                 // series resistance, ohms
  double Xs;                 // series reactance, ohms
  std::optional<double> Ls;  // henry, where Xs > 0
  std::optional<double> Cs;  // farad, where Xs < 0
  std::optional<double> Q;   // |Xs| / Rs, where Rs > 0
  std::optional<double> D;   // Rs / |Xs|, where Xs != 0 and Rs >= 0
  std::optional<double> Rp;  // parallel resistance, where Rs != 0
  std::optional<double> Xp;  // parallel reactance, where Xs != 0
  std::optional<double> Lp;  // where Xp > 0
  std::optional<double> Cp;  // where Xp < 0
};

TPointQuantities QuantitiesOf(const TImpedanceSample& sample);

}  // namespace doz::analysis

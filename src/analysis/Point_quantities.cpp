#include "Point_quantities.h"

#include <cmath>
#include <numbers>

namespace doz::analysis {
namespace {

std::optional<double> Finite(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace

TPointQuantities QuantitiesOf(const TImpedanceSample& sample) {
  const double w = 2.0 * std::numbers::pi * sample.Hertz;
  TPointQuantities q{sample.Z.real(), sample.Z.imag(), {}, {}, {}, {}, {}, {}, {}, {}};
  if (q.Xs > 0.0) q.Ls = Finite(q.Xs / w);
  if (q.Xs < 0.0) q.Cs = Finite(-1.0 / (w * q.Xs));
  if (q.Rs > 0.0) q.Q = Finite(std::fabs(q.Xs) / q.Rs);
  if (q.Xs != 0.0 && q.Rs >= 0.0) q.D = Finite(q.Rs / std::fabs(q.Xs));
  // |Z|² / Rs and |Z|² / Xs, from the admittance 1/Rp - j/Xp; squared through
  // the magnitude so that large impedances overflow only when the result does.
  const double m = sample.Ohms;
  if (q.Rs != 0.0) q.Rp = Finite(m * (m / q.Rs));
  if (q.Xs != 0.0) q.Xp = Finite(m * (m / q.Xs));
  if (q.Xp && *q.Xp > 0.0) q.Lp = Finite(*q.Xp / w);
  if (q.Xp && *q.Xp < 0.0) q.Cp = Finite(-1.0 / (w * *q.Xp));
  return q;
}

}  // namespace doz::analysis

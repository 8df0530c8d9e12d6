// The curves of the quantity graph as numbers: which quantity, its value at
// each point of a data set's band (absent where it has no meaning), the runs
// of points a curve joins, and a run cut to the neighbourhood of the plot.
// Pure functions without Qt.
#pragma once

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "Doz_setting.h"
#include "Quantity_axis.h"

namespace doz {

// A series or parallel quantity against frequency, or the Nyquist plot
// (Re Z against -Im Z).
enum class TQuantity { Rs, Xs, Ls, Cs, Rp, Lp, Cp, Q, D, Nyquist };
inline constexpr TQuantity kQuantities[] = {
    TQuantity::Rs, TQuantity::Xs, TQuantity::Ls, TQuantity::Cs, TQuantity::Rp,
    TQuantity::Lp, TQuantity::Cp, TQuantity::Q,  TQuantity::D,  TQuantity::Nyquist};

// "Rs" ... "D", "nyquist": the names doz-cli takes.
const char* QuantityName(TQuantity quantity);
// The quantity of a name, whatever its letters' case.
std::optional<TQuantity> QuantityNamed(std::string_view name);
// "Ω", "H", "F"; "" for the ratios Q and D.
const char* QuantityUnit(TQuantity quantity);

// One point of a band: its place (frequency in Hz and the quantity, or for
// the Nyquist plot Re Z and -Im Z in ohms) when the quantity has a value
// there.
struct TQuantityPoint {
  int Slot = 0;
  bool Defined = false;
  double X = 0.0;
  double Y = 0.0;
  bool operator==(const TQuantityPoint&) const = default;
};

// Every slot of the band in order; a slot without a value (resistance -1, no
// frequency) or where the quantity has none (Ls where X < 0) is not Defined.
// Nothing for a band outside 1..10.
std::vector<TQuantityPoint> QuantitySeries(const TCalcData& set, int band, TQuantity quantity);

// The runs of neighbouring points both axes can place, as index ranges
// [first, last) of at least one point: an undefined point, or one an axis
// cannot place, ends a run, so no curve is joined across it.
std::vector<std::pair<int, int>> DrawableRuns(const std::vector<TQuantityPoint>& points,
                                              const TAxisRange& x, const TAxisRange& y);

// A point in plot fractions: 0 to 1 from the left and from the bottom.
struct TFractionPoint {
  double X = 0.0;
  double Y = 0.0;
  bool operator==(const TFractionPoint&) const = default;
};

// A polyline cut to the square from -margin to 1 + margin: the pieces that
// lie inside, each of at least two points, the cut ends on the square's
// edge. Keeps the painter's coordinates small however far a zoom puts the
// points, and each piece's dashes in one pattern.
std::vector<std::vector<TFractionPoint>> ClippedPieces(const std::vector<TFractionPoint>& line,
                                                       double margin);

}  // namespace doz

// The axes of the quantity graph as numbers: where a value lies on a linear
// or logarithmic axis, the range that shows a set of values, nice ticks and
// their texts, the zoom steps and the equal scales of a Nyquist plot. Pure
// functions without Qt, so that each rule is tested on its own.
#pragma once

#include <string>
#include <vector>

namespace doz {

// One axis: its bounds (Lo below or left of Hi) and its kind.
struct TAxisRange {
  double Lo = 0.0;
  double Hi = 1.0;
  bool Log = false;
  bool operator==(const TAxisRange&) const = default;
};

// Whether the axis can place v at all: finite, and above 0 on a
// logarithmic axis.
bool OnAxis(const TAxisRange& axis, double v);
// Where v lies: 0 at Lo, 1 at Hi, proportionally (in decades on a
// logarithmic axis) beyond them. v must be OnAxis.
double AxisFraction(const TAxisRange& axis, double v);
// The value at a fraction, the inverse of AxisFraction.
double AxisValue(const TAxisRange& axis, double fraction);
// Bounds a drawing can tell apart: finite, Lo below Hi, and on a
// logarithmic axis both above 0.
bool Resolvable(const TAxisRange& axis);

// The smallest 1, 2 or 5 times a power of ten that is at least `rough`
// (rough above 0).
double NiceStep(double rough);

// The axis that shows values from lo to hi (lo > hi: no values):
// logarithmic when all are above 0 and span a decade or more, its bounds
// then 1, 2 or 5 times a power of ten; otherwise linear from 0 or beyond,
// its bounds multiples of its tick step. No values give 0 to 1.
TAxisRange WholeValueRange(double lo, double hi);
// Always linear, as a Nyquist plot's axes are.
TAxisRange WholeLinearRange(double lo, double hi);

// Widens one of the two linear axes about its middle so that a unit takes
// as many pixels on both: the Nyquist plot's equal scales.
void EqualAspect(TAxisRange& x, TAxisRange& y, int width, int height);

// A grid line and whether it is drawn in the darker grey (a decade, or 0).
struct TGridLine {
  double Value = 0.0;
  bool Major = false;
  bool operator==(const TGridLine&) const = default;
};

struct TAxisTicks {
  std::vector<double> Labels;   // values that carry a label, in order
  std::vector<TGridLine> Grid;  // lines strictly inside the axis
  // The spacing that sets a label's digits: the linear step, or on a
  // logarithmic axis 0 (each label keeps its own decade's digits).
  double Step = 0.0;
};

// At most maxLabels labels (at least 2 are asked for). Linear: multiples of
// a 1-2-5 step. Logarithmic: the densest of the series 1; 1, 3; 1, 2, 5;
// 1, 2, 3, 5; 1 to 9 per decade that fits, with grid lines at 1, 1.5, 2 ...
// 9 times each power of ten (only the decades beyond eight of them); an
// axis too narrow for two such labels gets linear ticks on its scale.
TAxisTicks AxisTicks(const TAxisRange& axis, int maxLabels);

// "1.5k", "-200", "500m", "2µ", "0": the value with an SI prefix and the
// digits its neighbours `step` apart need (step 0: up to three significant
// digits), without trailing zeros and never "-0".
std::string TickText(double value, double step);

// The axis zoomed by `factor` (below 1 closer, above 1 farther) about the
// value at fraction `anchor`, which keeps its place. An axis that would not
// be Resolvable is left as it is.
TAxisRange ZoomAbout(const TAxisRange& axis, double anchor, double factor);
// The part of the axis between two fractions, in either order; likewise
// left as it is when that would not be Resolvable.
TAxisRange AxisBetween(const TAxisRange& axis, double from, double to);

}  // namespace doz

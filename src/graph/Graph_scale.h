// Scale rules of the graph: axis bounds, tick series, label texts and the
// mappings from values to bitmap pixels. Pure functions, no state; every
// real value that becomes a pixel or an integer label value is truncated
// toward zero.
#pragma once

#include <string>
#include <vector>

#include "Doz_setting.h"

namespace doz {

// Frequency axis bounds from the range's start and stop frequency; for the
// ten bands they give the band's own limits.
int FreqAxisLow(double f);
int FreqAxisHigh(double f);

// Exponent e of 10^e <= x < 10^(e+1) for x >= 1, robust against log10
// rounding (a power of ten gets its own exponent); toward zero below 1.
int DecadeExponent(double x);
// 10^e, exact for the exponents the axes use.
double PowerOfTen(int e);
// The next tick of a logarithmic axis: 1, 1.5, 2, 3 ... 9 times 10^e, then
// 10^(e+1). x must be positive.
double NextTick(double x);
// True when t is c x 10^n for an integer n.
bool IsDecadeMultiple(double t, double c);

// Linear resistance axis: full scale in ohms.
int ResistanceFullScale(double maxR);
// Logarithmic resistance axis bounds in ohms.
int LogResistanceLow(double minR);
int LogResistanceHigh(double maxR);
// Phase axis: the axis runs from +d to -d degrees.
int PhaseHalfRange(double maxTheta);

// Label texts, UTF-8.
std::string FormatPhaseLabel(int v);
int PhaseLabelValue(int halfRange, int i);
std::string FreqLabelText(double t);
// Slot i (0 at the top, 10 at the bottom) of a linear axis of full scale F.
std::string LinearResistanceLabelText(int fullScale, int i);
std::string LogResistanceLabelText(double t);

// The tick values that carry a label, in order, at most `count` of them.
std::vector<double> FreqLabelValues(int lo, int hi, int count);
std::vector<double> LogResistanceLabelValues(int lo, int hi, int count);
// The tick values strictly between lo and hi, where grid lines go.
std::vector<double> GridTicks(int lo, int hi);

// Real value to pixel, toward zero; values far outside any bitmap are
// clamped so that the painter never sees an overflowing coordinate.
int TruncToPixel(double v);

// A logarithmic axis from lo to hi (hi > lo) over `pixels`, with the
// logarithms of its bounds taken once.
struct TLogAxis {
  TLogAxis() = default;
  TLogAxis(int lo, int hi, int pixels);
  // trunc(pixels x (log10 v - log10 lo) / (log10 hi - log10 lo))
  int Offset(double v) const;
  // The same fraction counted down from the top: trunc(pixels x (1 - ...)).
  int FromTop(double v) const;

  int Lo = 1;
  int Hi = 10;
  int Pixels = 0;
  double LogLo = 0.0;
  double LogSpan = 1.0;
};

int FreqToX(double f, int lo, int hi, int width);
// -1 above full scale, so a curve leaving the axis runs to the top edge.
int LinearResistanceToY(double r, int fullScale, int height);
// -1 above hi; r must be positive.
int LogResistanceToY(double r, const TLogAxis& axis);
int LogResistanceToY(double r, int lo, int hi, int height);
// -1 above +d, height below -d.
int PhaseToY(double theta, int halfRange, int height);
// The frequency under paint-box column x of a box `width` pixels wide, the
// inverse the cursor read-out uses; 0 when the box has no width.
double FrequencyAtX(int x, int width, int lo, int hi);

// Everything the grid, the curves and the labels need to know about the
// axes, computed once per drawing from the range and the bitmap size.
struct TPlotScale {
  int W = 0;
  int H = 0;
  TLogAxis Freq;        // frequency bounds over the width
  int FullScale = 0;    // linear resistance axis
  TLogAxis Resistance;  // logarithmic resistance bounds over the height
  int PhaseHalf = 0;
  bool FreqValid() const { return Freq.Hi > Freq.Lo; }
  bool LogValid() const { return Resistance.Hi > Resistance.Lo; }
  int X(double f) const { return Freq.Offset(f); }
  int ResistanceY(double r, bool logAxis) const {
    return logAxis ? LogResistanceToY(r, Resistance) : LinearResistanceToY(r, FullScale, H);
  }
  int PhaseY(double theta) const { return PhaseToY(theta, PhaseHalf, H); }
};

TPlotScale MakePlotScale(const TGraphRange& range, int width, int height);

}  // namespace doz

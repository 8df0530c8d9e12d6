#include "Graph_scale.h"

#include <cmath>
#include <cstdlib>

namespace doz {
namespace {

// Axis bound steps, in the order they are tried.
constexpr int kFreqLowSteps[] = {100000, 50000, 20000, 10000, 9000, 8000, 7000, 5000, 3000,
                                 2000,   1500,  1000,  800,   700,  500,  300,  250,  200,
                                 150,    100,   70,    50,    30,   20,   15,   10};
constexpr int kFreqHighSteps[] = {50,   70,    100,   150,   200,   250,   300,
                                  500,  700,   1000,  1500,  2000,  3000,  5000,
                                  7000, 10000, 15000, 20000, 25000, 30000, 50000};
constexpr int kLogLowSteps[] = {10000, 5000, 2000, 1000, 500, 200, 100, 50, 20};
constexpr int kLogHighSteps[] = {1000,   2000,   3000,   5000,   10000,   20000,   30000,  50000,
                                 100000, 200000, 300000, 500000, 1000000, 2000000, 3000000};

struct TThresholdStep {
  double above;
  int value;
};
constexpr TThresholdStep kFullScaleSteps[] = {
    {3900000, 5000000}, {2900000, 4000000}, {1900000, 3000000}, {1400000, 2000000},
    {950000, 1500000},  {470000, 1000000},  {390000, 500000},   {290000, 400000},
    {190000, 300000},   {140000, 200000},   {95000, 150000},    {47000, 100000},
    {39000, 50000},     {29000, 40000},     {19000, 30000},     {14000, 20000},
    {9000, 15000},      {4700, 10000},      {3900, 5000},       {2900, 4000},
    {1900, 3000},       {1400, 2000},       {900, 1500}};
constexpr TThresholdStep kPhaseSteps[] = {{130, 180}, {95, 135}, {85, 100}, {55, 90},
                                          {40, 60},   {28, 45},  {18, 30},  {14, 20}};

// The first step the rule accepts, in table order.
template <std::size_t N, class TAccepts>
int FirstStep(const int (&steps)[N], TAccepts accepts, int otherwise) {
  for (int step : steps)
    if (accepts(step)) return step;
  return otherwise;
}

template <std::size_t N>
int FirstAbove(const TThresholdStep (&steps)[N], double v, int otherwise) {
  for (const TThresholdStep& s : steps)
    if (v > s.above) return s.value;
  return otherwise;
}

// Tick factors of a decade: below each mantissa bound the next tick is the factor.
constexpr double kTickBounds[] = {1.5, 2, 3, 4, 5, 6, 7, 8, 9};

std::string ToText(long long v) { return std::to_string(v); }

}  // namespace

int FreqAxisLow(double f) {
  return FirstStep(
      kFreqLowSteps, [f](int s) { return s <= f; }, 5);
}

int FreqAxisHigh(double f) {
  return FirstStep(
      kFreqHighSteps, [f](int s) { return s >= f; }, 100000);
}

double PowerOfTen(int e) {
  double p = 1.0;
  for (int i = 0; i < std::abs(e); ++i) p *= 10.0;
  return e < 0 ? 1.0 / p : p;
}

int DecadeExponent(double x) {
  int e = static_cast<int>(std::log10(x));
  if (x < 1.0) return e;
  // log10 may land just below an integer for an exact power of ten.
  while (x >= PowerOfTen(e + 1)) ++e;
  while (e > 0 && x < PowerOfTen(e)) --e;
  return e;
}

double NextTick(double x) {
  const double p = PowerOfTen(DecadeExponent(x));
  const double m = x / p;
  for (double bound : kTickBounds)
    if (m < bound) return p * bound;
  return p * 10.0;
}

bool IsDecadeMultiple(double t, double c) {
  const double q = t / c;
  if (!(q > 0.0) || !std::isfinite(q)) return false;
  return q == PowerOfTen(DecadeExponent(q));
}

int ResistanceFullScale(double maxR) { return FirstAbove(kFullScaleSteps, maxR, 1000); }

int LogResistanceLow(double minR) {
  return FirstStep(
      kLogLowSteps, [minR](int s) { return s <= minR; }, 10);
}

int LogResistanceHigh(double maxR) {
  return FirstStep(
      kLogHighSteps, [maxR](int s) { return s > maxR; }, 5000000);
}

int PhaseHalfRange(double maxTheta) { return FirstAbove(kPhaseSteps, maxTheta, 15); }

std::string FormatPhaseLabel(int v) {
  std::string digits = ToText(std::llabs(static_cast<long long>(v)));
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), ' ');
  return (v >= 0 ? "+" : "-") + digits;
}

int PhaseLabelValue(int halfRange, int i) { return halfRange - i * ((2 * halfRange) / 10); }

std::string FreqLabelText(double t) {
  const auto n = static_cast<long long>(t);
  return t >= 1000 ? ToText(n / 1000) + "k" : ToText(n);
}

std::string LinearResistanceLabelText(int fullScale, int i) {
  if (i == 10) return "0";
  if (fullScale >= 100000) {
    const int c = fullScale / 1000;
    return ToText(c - (c * i) / 10) + "k";
  }
  if (fullScale > 15000) {
    const int c = fullScale / 1000;
    return ToText(c - (c / 10) * i) + "k";
  }
  // Small scales count in hundreds of ohms and show one decimal of a kilohm.
  const int c = fullScale / 100;
  std::string s = ToText(c - (c * i) / 10);
  if (s.size() == 1) s = "0" + s;
  return s.substr(0, s.size() - 1) + "." + s.back() + "k";
}

std::string LogResistanceLabelText(double t) {
  const auto n = static_cast<long long>(t);
  if (t < 1000) return ToText(n);
  if (t < 1000000) return ToText(n / 1000) + "k";
  return ToText(n / 1000000) + "M";
}

std::vector<double> FreqLabelValues(int lo, int hi, int count) {
  std::vector<double> values;
  const bool fine = hi / lo < 250;  // one or two decades: also 2 and 5
  for (double t = lo; t <= hi && static_cast<int>(values.size()) < count; t = NextTick(t)) {
    const bool shown = (t == lo && lo != 250) || t == hi || IsDecadeMultiple(t, 1) ||
                       IsDecadeMultiple(t, 3) ||
                       (fine && (IsDecadeMultiple(t, 2) || IsDecadeMultiple(t, 5)));
    if (shown) values.push_back(t);
  }
  return values;
}

std::vector<double> LogResistanceLabelValues(int lo, int hi, int count) {
  std::vector<double> values;
  const int span = hi / lo;
  for (double t = lo; t <= hi && static_cast<int>(values.size()) < count; t = NextTick(t)) {
    const bool shown = t == lo || t == hi || IsDecadeMultiple(t, 1) ||
                       (span <= 100 && (IsDecadeMultiple(t, 2) || IsDecadeMultiple(t, 5))) ||
                       (span <= 1000 && IsDecadeMultiple(t, 3));
    if (shown) values.push_back(t);
  }
  return values;
}

std::vector<double> GridTicks(int lo, int hi) {
  std::vector<double> ticks;
  for (double t = NextTick(lo); t < hi; t = NextTick(t)) ticks.push_back(t);
  return ticks;
}

int TruncToPixel(double v) {
  // Far outside any bitmap, well inside the painter's fixed-point range.
  constexpr double kLimit = 1.0e6;
  if (!(v > -kLimit)) return -static_cast<int>(kLimit);
  if (v > kLimit) return static_cast<int>(kLimit);
  return static_cast<int>(v);
}

TLogAxis::TLogAxis(int lo, int hi, int pixels)
    : Lo(lo),
      Hi(hi),
      Pixels(pixels),
      LogLo(std::log10(static_cast<double>(lo))),
      LogSpan(std::log10(static_cast<double>(hi)) - LogLo) {}

int TLogAxis::Offset(double v) const {
  return TruncToPixel(Pixels * (std::log10(v) - LogLo) / LogSpan);
}

int TLogAxis::FromTop(double v) const {
  return TruncToPixel(Pixels * (1.0 - (std::log10(v) - LogLo) / LogSpan));
}

int FreqToX(double f, int lo, int hi, int width) { return TLogAxis(lo, hi, width).Offset(f); }

int LinearResistanceToY(double r, int fullScale, int height) {
  if (r > fullScale) return -1;
  return TruncToPixel(height * (1.0 - r / fullScale));
}

int LogResistanceToY(double r, const TLogAxis& axis) { return r > axis.Hi ? -1 : axis.FromTop(r); }

int LogResistanceToY(double r, int lo, int hi, int height) {
  return LogResistanceToY(r, TLogAxis(lo, hi, height));
}

int PhaseToY(double theta, int halfRange, int height) {
  if (theta > halfRange) return -1;
  if (theta < -halfRange) return height;
  return TruncToPixel(height * (1.0 - (theta + halfRange) / (2.0 * halfRange)));
}

double FrequencyAtX(int x, int width, int lo, int hi) {
  if (width <= 0) return 0.0;
  const TLogAxis axis(lo, hi, width);
  return std::pow(10.0, x * axis.LogSpan / width + axis.LogLo);
}

TPlotScale MakePlotScale(const TGraphRange& range, int width, int height) {
  TPlotScale s;
  s.W = width;
  s.H = height;
  s.Freq = TLogAxis(FreqAxisLow(range.StartFreq), FreqAxisHigh(range.StopFreq), width);
  s.FullScale = ResistanceFullScale(range.MaxR);
  s.Resistance = TLogAxis(LogResistanceLow(range.MinR), LogResistanceHigh(range.MaxR), height);
  s.PhaseHalf = PhaseHalfRange(range.MaxTheta);
  return s;
}

}  // namespace doz

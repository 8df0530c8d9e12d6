#include "Quantity_axis.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <iterator>

#include "Number_text.h"

namespace doz {
namespace {

// Relative slack for values that arithmetic leaves a rounding away from a
// tick or a bound.
constexpr double kSlack = 1e-9;
// Bounds closer than this (relative, or in decades) draw no usable axis.
constexpr double kFinest = 1e-9;
// Past this many decades a logarithmic grid keeps only its decade lines.
constexpr double kFineGridDecades = 8.0;

double Pow10(int e) { return std::pow(10.0, e); }

int FloorLog10(double v) { return static_cast<int>(std::floor(std::log10(v))); }

// The value on the scale the axis is linear in.
double Transformed(bool log, double v) { return log ? std::log10(v) : v; }
double Untransformed(bool log, double t) { return log ? std::pow(10.0, t) : t; }

// n when x is within rounding of the whole number n, else x rounded down.
double FloorSnapped(double x) {
  const double r = std::round(x);
  return std::fabs(x - r) < kSlack * std::max(1.0, std::fabs(x)) ? r : std::floor(x);
}
double CeilSnapped(double x) { return -FloorSnapped(-x); }

constexpr double kNiceMantissas[] = {1.0, 2.0, 5.0};

// The largest 1, 2 or 5 x 10^n not above v, and the smallest not below (v > 0).
double NiceAtMost(double v) {
  const int e0 = FloorLog10(v);
  for (int e = e0 + 1; e >= e0 - 1; --e)
    for (auto m = std::rbegin(kNiceMantissas); m != std::rend(kNiceMantissas); ++m)
      if (*m * Pow10(e) <= v * (1.0 + kSlack)) return *m * Pow10(e);
  return Pow10(e0 - 1);
}
double NiceAtLeast(double v) {
  const int e0 = FloorLog10(v);
  for (int e = e0 - 1; e <= e0 + 1; ++e)
    for (double m : kNiceMantissas)
      if (m * Pow10(e) >= v * (1.0 - kSlack)) return m * Pow10(e);
  return Pow10(e0 + 2);
}

TAxisTicks LinearTicks(double lo, double hi, int maxLabels) {
  TAxisTicks ticks;
  double step = NiceStep((hi - lo) / maxLabels);
  const auto count = [&] { return FloorSnapped(hi / step) - CeilSnapped(lo / step) + 1; };
  while (count() > maxLabels) step = NiceStep(step * 1.5);
  ticks.Step = step;
  for (double k = CeilSnapped(lo / step); k <= FloorSnapped(hi / step); ++k) {
    const double v = k == 0.0 ? 0.0 : k * step;
    ticks.Labels.push_back(v);
    if (v > lo && v < hi) ticks.Grid.push_back({v, v == 0.0});
  }
  return ticks;
}

// Mantissa series of a logarithmic axis' labels, densest first.
const std::vector<std::vector<double>> kLabelSeries = {
    {1, 2, 3, 4, 5, 6, 7, 8, 9}, {1, 2, 3, 5}, {1, 2, 5}, {1, 3}, {1}};
const std::vector<double> kGridMantissas = {1, 1.5, 2, 3, 4, 5, 6, 7, 8, 9};

// Every m x 10^e from lo to hi, m of the series, e a multiple of `every`.
std::vector<double> LogValues(double lo, double hi, const std::vector<double>& series,
                              int every = 1) {
  std::vector<double> values;
  for (int e = FloorLog10(lo) - 1; e <= FloorLog10(hi) + 1; ++e) {
    if (e % every != 0) continue;
    for (double m : series) {
      const double v = m * Pow10(e);
      if (v >= lo * (1.0 - kSlack) && v <= hi * (1.0 + kSlack)) values.push_back(v);
    }
  }
  return values;
}

TAxisTicks LogTicks(double lo, double hi, int maxLabels) {
  TAxisTicks ticks;
  for (const std::vector<double>& series : kLabelSeries) {
    ticks.Labels = LogValues(lo, hi, series);
    if (static_cast<int>(ticks.Labels.size()) <= maxLabels) break;
  }
  // Too many decades for one label each: every second, third ... decade.
  for (int every = 2; static_cast<int>(ticks.Labels.size()) > maxLabels; ++every)
    ticks.Labels = LogValues(lo, hi, {1}, every);
  if (ticks.Labels.size() < 2 && LogValues(lo, hi, kLabelSeries.front()).size() < 2)
    return LinearTicks(lo, hi, maxLabels);
  const bool fine = std::log10(hi / lo) <= kFineGridDecades;
  for (double v : LogValues(lo, hi, fine ? kGridMantissas : std::vector<double>{1})) {
    if (v <= lo * (1.0 + kSlack) || v >= hi * (1.0 - kSlack)) continue;
    const double mantissa = v / Pow10(FloorLog10(v * (1.0 + kSlack)));
    ticks.Grid.push_back({v, std::fabs(mantissa - 1.0) < 1e-6});
  }
  return ticks;
}

// Prefixes from femto (10^-15) to giga, by thousands.
constexpr std::array<const char*, 9> kPrefixes = {"f", "p", "n", "µ", "m", "", "k", "M", "G"};
constexpr int kLowestThousands = -5;

constexpr int kMostDecimals = 12;

// The decimals that write multiples of x (above 0) exactly.
int DecimalsOf(double x) {
  for (int d = 0; d < kMostDecimals; ++d) {
    const double shifted = x * Pow10(d);
    if (std::fabs(shifted - std::round(shifted)) < 1e-6 * std::max(1.0, shifted)) return d;
  }
  return kMostDecimals;
}

std::string WithoutTrailingZeros(std::string text) {
  if (text.find('.') == std::string::npos) return text;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

}  // namespace

bool OnAxis(const TAxisRange& axis, double v) { return std::isfinite(v) && (!axis.Log || v > 0.0); }

double AxisFraction(const TAxisRange& axis, double v) {
  const double lo = Transformed(axis.Log, axis.Lo);
  return (Transformed(axis.Log, v) - lo) / (Transformed(axis.Log, axis.Hi) - lo);
}

double AxisValue(const TAxisRange& axis, double fraction) {
  const double lo = Transformed(axis.Log, axis.Lo);
  const double hi = Transformed(axis.Log, axis.Hi);
  return Untransformed(axis.Log, lo + fraction * (hi - lo));
}

bool Resolvable(const TAxisRange& axis) {
  if (!std::isfinite(axis.Lo) || !std::isfinite(axis.Hi) || !(axis.Lo < axis.Hi)) return false;
  if (axis.Log) return axis.Lo > 0.0 && std::log10(axis.Hi / axis.Lo) > kFinest;
  const double span = axis.Hi - axis.Lo;
  return std::isfinite(span) && span > kFinest * std::max(std::fabs(axis.Lo), std::fabs(axis.Hi));
}

double NiceStep(double rough) {
  const int e = FloorLog10(rough);
  const double m = rough / Pow10(e);
  for (double nice : kNiceMantissas)
    if (m <= nice * (1.0 + kSlack)) return nice * Pow10(e);
  return Pow10(e + 1);
}

TAxisRange WholeLinearRange(double lo, double hi) {
  if (lo > hi) return {};
  lo = std::min(lo, 0.0);
  hi = std::max(hi, 0.0);
  if (lo == hi) return {};
  const double step = NiceStep((hi - lo) / 5.0);
  const TAxisRange nice{FloorSnapped(lo / step) * step, CeilSnapped(hi / step) * step, false};
  return Resolvable(nice) ? nice : TAxisRange{lo, hi, false};
}

TAxisRange WholeValueRange(double lo, double hi) {
  if (lo > 0.0 && hi >= 10.0 * lo && std::isfinite(hi))
    return {NiceAtMost(lo), NiceAtLeast(hi), true};
  return WholeLinearRange(lo, hi);
}

void EqualAspect(TAxisRange& x, TAxisRange& y, int width, int height) {
  if (width <= 0 || height <= 0) return;
  const double perPixelX = (x.Hi - x.Lo) / width;
  const double perPixelY = (y.Hi - y.Lo) / height;
  TAxisRange& wider = perPixelX > perPixelY ? y : x;
  const double span = std::max(perPixelX, perPixelY) * (&wider == &x ? width : height);
  const double middle = (wider.Lo + wider.Hi) / 2.0;
  wider.Lo = middle - span / 2.0;
  wider.Hi = middle + span / 2.0;
}

TAxisTicks AxisTicks(const TAxisRange& axis, int maxLabels) {
  if (!Resolvable(axis)) return {};
  maxLabels = std::max(maxLabels, 2);
  return axis.Log ? LogTicks(axis.Lo, axis.Hi, maxLabels)
                  : LinearTicks(axis.Lo, axis.Hi, maxLabels);
}

std::string TickText(double value, double step) {
  if (step > 0.0) value = std::round(value / step) * step;
  if (value == 0.0 || !std::isfinite(value)) return "0";
  const int thousands =
      std::clamp(static_cast<int>(std::floor(std::log10(std::fabs(value) * (1.0 + kSlack)) / 3.0)),
                 kLowestThousands, kLowestThousands + static_cast<int>(kPrefixes.size()) - 1);
  const double unit = Pow10(3 * thousands);
  const double scaled = value / unit;
  const int decimals =
      step > 0.0 ? DecimalsOf(step / unit) : 2 - FloorLog10(std::fabs(scaled) * (1.0 + kSlack));
  const std::string digits = analysis::NumberText(scaled, std::chars_format::fixed,
                                                  std::clamp(decimals, 0, kMostDecimals));
  return WithoutTrailingZeros(digits) + kPrefixes[thousands - kLowestThousands];
}

TAxisRange ZoomAbout(const TAxisRange& axis, double anchor, double factor) {
  if (!(factor > 0.0) || !std::isfinite(factor) || !std::isfinite(anchor)) return axis;
  const double lo = Transformed(axis.Log, axis.Lo);
  const double hi = Transformed(axis.Log, axis.Hi);
  const double at = lo + anchor * (hi - lo);
  const TAxisRange zoomed{Untransformed(axis.Log, at - (at - lo) * factor),
                          Untransformed(axis.Log, at + (hi - at) * factor), axis.Log};
  return Resolvable(zoomed) ? zoomed : axis;
}

TAxisRange AxisBetween(const TAxisRange& axis, double from, double to) {
  if (!std::isfinite(from) || !std::isfinite(to)) return axis;
  const TAxisRange part{AxisValue(axis, std::min(from, to)), AxisValue(axis, std::max(from, to)),
                        axis.Log};
  return Resolvable(part) ? part : axis;
}

}  // namespace doz

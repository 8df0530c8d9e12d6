#include "Quantity_series.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "Impedance_sample.h"
#include "Point_quantities.h"

namespace doz {
namespace {

using analysis::TPointQuantities;

struct TQuantityInfo {
  TQuantity quantity;
  const char* name;
  const char* unit;
};

constexpr TQuantityInfo kInfo[] = {
    {TQuantity::Rs, "Rs", "Ω"},          {TQuantity::Xs, "Xs", "Ω"}, {TQuantity::Ls, "Ls", "H"},
    {TQuantity::Cs, "Cs", "F"},          {TQuantity::Rp, "Rp", "Ω"}, {TQuantity::Lp, "Lp", "H"},
    {TQuantity::Cp, "Cp", "F"},          {TQuantity::Q, "Q", ""},    {TQuantity::D, "D", ""},
    {TQuantity::Nyquist, "nyquist", "Ω"}};

const TQuantityInfo& InfoOf(TQuantity quantity) {
  return *std::find_if(std::begin(kInfo), std::end(kInfo),
                       [quantity](const TQuantityInfo& i) { return i.quantity == quantity; });
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

std::optional<double> ValueOf(const TPointQuantities& q, TQuantity quantity) {
  switch (quantity) {
    case TQuantity::Rs:
      return q.Rs;
    case TQuantity::Xs:
      return q.Xs;
    case TQuantity::Ls:
      return q.Ls;
    case TQuantity::Cs:
      return q.Cs;
    case TQuantity::Rp:
      return q.Rp;
    case TQuantity::Lp:
      return q.Lp;
    case TQuantity::Cp:
      return q.Cp;
    case TQuantity::Q:
      return q.Q;
    case TQuantity::D:
      return q.D;
    case TQuantity::Nyquist:
      return -q.Xs;
  }
  return std::nullopt;
}

// Where a segment from a to b enters and leaves the square, as parameters
// 0 <= t0 <= t1 <= 1 along it (Liang-Barsky); false when it misses it.
bool ClipParameters(const TFractionPoint& a, const TFractionPoint& b, double lo, double hi,
                    double& t0, double& t1) {
  t0 = 0.0;
  t1 = 1.0;
  const double d[] = {b.X - a.X, b.Y - a.Y};
  const double start[] = {a.X, a.Y};
  for (int axis = 0; axis < 2; ++axis) {
    // The two edges of this axis: p t <= q along the segment.
    const double edges[][2] = {{-d[axis], start[axis] - lo}, {d[axis], hi - start[axis]}};
    for (const auto& [p, q] : edges) {
      if (p == 0.0) {
        if (q < 0.0) return false;
        continue;
      }
      const double t = q / p;
      if (p < 0.0)
        t0 = std::max(t0, t);
      else
        t1 = std::min(t1, t);
    }
  }
  return t0 <= t1;
}

TFractionPoint Along(const TFractionPoint& a, const TFractionPoint& b, double t) {
  if (t == 0.0) return a;
  if (t == 1.0) return b;
  return {a.X + t * (b.X - a.X), a.Y + t * (b.Y - a.Y)};
}

}  // namespace

const char* QuantityName(TQuantity quantity) { return InfoOf(quantity).name; }

const char* QuantityUnit(TQuantity quantity) { return InfoOf(quantity).unit; }

std::optional<TQuantity> QuantityNamed(std::string_view name) {
  for (const TQuantityInfo& info : kInfo)
    if (Lower(info.name) == Lower(name)) return info.quantity;
  return std::nullopt;
}

std::vector<TQuantityPoint> QuantitySeries(const TCalcData& set, int band, TQuantity quantity) {
  if (!IsValidBand(band)) return {};
  const int first = BandFirstIndex(band);
  std::vector<TQuantityPoint> points(BandLastIndex(band) - first + 1);
  for (std::size_t i = 0; i < points.size(); ++i) points[i].Slot = first + static_cast<int>(i);
  for (const analysis::TImpedanceSample& s : analysis::SamplesOf(set, band)) {
    const std::optional<double> value = ValueOf(analysis::QuantitiesOf(s), quantity);
    if (!value) continue;
    TQuantityPoint& p = points[s.Slot - first];
    p.Defined = true;
    p.X = quantity == TQuantity::Nyquist ? s.Z.real() : s.Hertz;
    p.Y = *value;
  }
  return points;
}

std::vector<std::pair<int, int>> DrawableRuns(const std::vector<TQuantityPoint>& points,
                                              const TAxisRange& x, const TAxisRange& y) {
  std::vector<std::pair<int, int>> runs;
  int begin = -1;
  const int n = static_cast<int>(points.size());
  for (int i = 0; i <= n; ++i) {
    const bool placed =
        i < n && points[i].Defined && OnAxis(x, points[i].X) && OnAxis(y, points[i].Y);
    if (placed && begin < 0) begin = i;
    if (!placed && begin >= 0) {
      runs.emplace_back(begin, i);
      begin = -1;
    }
  }
  return runs;
}

std::vector<std::vector<TFractionPoint>> ClippedPieces(const std::vector<TFractionPoint>& line,
                                                       double margin) {
  std::vector<std::vector<TFractionPoint>> pieces;
  bool open = false;  // the last piece goes on with the next segment
  for (std::size_t i = 0; i + 1 < line.size(); ++i) {
    double t0 = 0.0, t1 = 1.0;
    if (!ClipParameters(line[i], line[i + 1], -margin, 1.0 + margin, t0, t1)) {
      open = false;
      continue;
    }
    if (!open || t0 > 0.0) pieces.push_back({Along(line[i], line[i + 1], t0)});
    pieces.back().push_back(Along(line[i], line[i + 1], t1));
    open = t1 == 1.0;
  }
  return pieces;
}

}  // namespace doz

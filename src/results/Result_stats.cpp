#include "Result_stats.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace doz::results {
namespace {

// Where a value's limits are the same, the values belong together.
using TKey = std::tuple<std::string, std::optional<double>, std::optional<double>>;

TValueStats Spread(const TKey& key, const std::vector<double>& values) {
  TValueStats s;
  std::tie(s.Name, s.Lower, s.Upper) = key;
  s.Count = values.size();
  double sum = 0;
  for (const double v : values) sum += v;
  s.Mean = sum / static_cast<double>(s.Count);
  double squares = 0;
  for (const double v : values) squares += (v - s.Mean) * (v - s.Mean);
  s.StdDev = s.Count > 1 ? std::sqrt(squares / static_cast<double>(s.Count - 1)) : 0.0;
  const auto [least, most] = std::minmax_element(values.begin(), values.end());
  s.Min = *least;
  s.Max = *most;
  s.Cpk = Cpk(s.Mean, s.StdDev, s.Lower, s.Upper);
  return s;
}

}  // namespace

std::optional<double> Cpk(double mean, double stdDev, std::optional<double> lower,
                          std::optional<double> upper) {
  if (!(stdDev > 0) || (!lower && !upper)) return std::nullopt;
  double nearest = INFINITY;
  if (upper) nearest = std::min(nearest, *upper - mean);
  if (lower) nearest = std::min(nearest, mean - *lower);
  return nearest / (3.0 * stdDev);
}

TBatchStats BatchStats(const std::vector<TResultRow>& rows) {
  TBatchStats stats;
  stats.Count = rows.size();
  std::vector<TKey> order;
  std::map<TKey, std::vector<double>> values;
  for (const TResultRow& row : rows) {
    if (row.Verdict == TVerdict::Pass) ++stats.Passed;
    for (const TFittedValue& v : row.Values) {
      const TKey key{v.Name, v.Lower, v.Upper};
      auto [it, added] = values.try_emplace(key);
      if (added) order.push_back(key);
      it->second.push_back(v.Value);
    }
  }
  if (stats.Count > 0) stats.Yield = double(stats.Passed) / double(stats.Count);
  std::stable_sort(order.begin(), order.end(),
                   [](const TKey& a, const TKey& b) { return std::get<0>(a) < std::get<0>(b); });
  for (const TKey& key : order) stats.Values.push_back(Spread(key, values[key]));
  return stats;
}

}  // namespace doz::results

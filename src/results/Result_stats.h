// The figures of a batch of results, for doz-cli results --stats and the
// station window: how many parts, how many passed, the yield, and for each
// fitted value its spread and its process capability against the limits
// stored with it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "Result_row.h"

namespace doz::results {

struct TValueStats {
  std::string Name;
  // The limits the values were judged against. Rows judged against other
  // limits count under an entry of their own, so that Cpk has one meaning.
  std::optional<double> Lower;
  std::optional<double> Upper;
  std::size_t Count = 0;
  double Mean = 0.0;
  double StdDev = 0.0;  // sample standard deviation (n - 1); 0 for one value
  double Min = 0.0;
  double Max = 0.0;
  std::optional<double> Cpk;
};

struct TBatchStats {
  std::size_t Count = 0;
  std::size_t Passed = 0;
  std::optional<double> Yield;      // Passed / Count, 0 to 1; nothing for no rows
  std::vector<TValueStats> Values;  // by name, then in the order first met
};

// min(USL - mean, mean - LSL) / 3σ, one-sided where only one limit exists.
// Nothing without limits or spread (σ not above 0).
std::optional<double> Cpk(double mean, double stdDev, std::optional<double> lower,
                          std::optional<double> upper);

// Every row counts, a measurement error as a part that did not pass.
TBatchStats BatchStats(const std::vector<TResultRow>& rows);

}  // namespace doz::results

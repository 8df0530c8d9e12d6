// A measurement in the formats other programs read: CSV with the series
// quantities, ZMA for loudspeaker and crossover design, Touchstone S1P for
// RF tools. UTF-8 text with LF line ends.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Impedance_sample.h"

namespace doz::analysis {

enum class TExchangeFormat { Csv, Zma, Touchstone };

// "csv", "zma", "touchstone".
std::optional<TExchangeFormat> ExchangeFormatNamed(std::string_view name);
// ".csv", ".zma", ".s1p".
const char* ExchangeExtension(TExchangeFormat format);

// What the comment lines say about the measurement (CSV has none).
struct TExchangeSource {
  std::string Name;
  std::string DateTime;
};

enum class TWriteResult { Written, CannotWrite };

// The whole file. One row per point, in the order given; a Touchstone row
// is left out where S11 would not be finite (Z = -50 Ω).
std::string ExchangeText(TExchangeFormat format, const std::vector<TImpedanceSample>& samples,
                         const TExchangeSource& source);

// Written beside the target and renamed over it only when complete.
TWriteResult WriteExchangeFile(const std::string& path, TExchangeFormat format,
                               const std::vector<TImpedanceSample>& samples,
                               const TExchangeSource& source);

}  // namespace doz::analysis

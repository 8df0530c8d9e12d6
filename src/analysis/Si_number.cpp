#include "Si_number.h"

#include <charconv>
#include <cmath>
#include <string>

#include "Number_text.h"

namespace doz::analysis {
namespace {

struct TPrefix {
  char letter;
  int exponent;
};

constexpr TPrefix kPrefixes[] = {{'f', -15}, {'p', -12}, {'n', -9}, {'u', -6}, {'m', -3},
                                 {'k', 3},   {'M', 6},  {'G', 9}};

// The prefixes' printed forms, from femto to giga by thousands.
constexpr const char* kPrinted[] = {"f", "p", "n", "µ", "m", "", "k", "M", "G"};
constexpr int kLowestExponent = -15;

struct TScientific {
  std::string text;
  double value;
};

TScientific Scientific(double value, int decimals) {
  const std::string text = NumberText(value, std::chars_format::scientific, decimals);
  double back = value;
  std::from_chars(text.data(), text.data() + text.size(), back);
  return {text, back};
}

}  // namespace

std::optional<double> ParseSi(std::string_view text) {
  int exponent = 0;
  if (!text.empty()) {
    for (const TPrefix& p : kPrefixes) {
      if (text.back() == p.letter) {
        exponent = p.exponent;
        text.remove_suffix(1);
        break;
      }
    }
  }
  // from_chars takes no sign of "+"; a lone number must fill the text.
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  if (text.empty() || result.ec != std::errc() || result.ptr != end) return std::nullopt;
  value *= std::pow(10.0, exponent);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::string FormatSi(double value, std::string_view unit) {
  const std::string suffix = " " + std::string(unit);
  if (value == 0.0 || !std::isfinite(value))
    return NumberText(value, std::chars_format::fixed, 0) + suffix;
  // Rounded to three digits first, so that 999.7 becomes "1.00 k", not "1000".
  const TScientific rounded = Scientific(value, 2);
  const int thousands = int(std::floor(std::log10(std::fabs(rounded.value)) / 3.0));
  const int index = thousands - kLowestExponent / 3;
  if (index < 0 || index >= int(std::size(kPrinted))) return rounded.text + suffix;
  const double scaled = rounded.value / std::pow(10.0, 3 * thousands);
  const int decimals = std::fabs(scaled) < 10.0 ? 2 : std::fabs(scaled) < 100.0 ? 1 : 0;
  return NumberText(scaled, std::chars_format::fixed, decimals) + " " + kPrinted[index] +
         std::string(unit);
}

}  // namespace doz::analysis

#include "Si_number.h"

#include <charconv>
#include <cmath>
#include <string>

namespace doz::analysis {
namespace {

struct TPrefix {
  char letter;
  int exponent;
};

constexpr TPrefix kPrefixes[] = {{'p', -12}, {'n', -9}, {'u', -6}, {'m', -3},
                                 {'k', 3},   {'M', 6},  {'G', 9}};

// The prefixes' printed forms, from pico to giga by thousands.
constexpr const char* kPrinted[] = {"p", "n", "µ", "m", "", "k", "M", "G"};
constexpr int kLowestExponent = -12;

// Printed with to_chars: a period as decimal point whatever the locale.
std::string Fixed(double value, int decimals) {
  char text[64];
  const auto end =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  return std::string(text, end.ptr);
}

struct TScientific {
  std::string text;
  double value;
};

TScientific Scientific(double value, int decimals) {
  char text[64];
  const auto end =
      std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, decimals);
  double back = value;
  std::from_chars(text, end.ptr, back);
  return {std::string(text, end.ptr), back};
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
  if (value == 0.0 || !std::isfinite(value)) return Fixed(value, 0) + suffix;
  // Rounded to three digits first, so that 999.7 becomes "1.00 k", not "1000".
  const double rounded = Scientific(value, 2).value;
  const int thousands = int(std::floor(std::log10(std::fabs(rounded)) / 3.0));
  const int index = thousands - kLowestExponent / 3;
  if (index < 0 || index >= int(std::size(kPrinted))) return Scientific(value, 2).text + suffix;
  const double scaled = rounded / std::pow(10.0, 3 * thousands);
  const int decimals = std::fabs(scaled) < 10.0 ? 2 : std::fabs(scaled) < 100.0 ? 1 : 0;
  return Fixed(scaled, decimals) + " " + kPrinted[index] + std::string(unit);
}

}  // namespace doz::analysis

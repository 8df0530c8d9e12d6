#include "Format_float.h"

#include <charconv>
#include <cmath>

namespace doz::platform {
namespace {

constexpr int SIGNIFICANT = 18;

struct TPattern {
  int minIntDigits = 0;  // "0" placeholders before the point
  int minDecimals = 0;   // decimals up to the last "0" after the point
  int maxDecimals = 0;   // all placeholders after the point
};

TPattern ParsePattern(std::string_view pattern) {
  TPattern p;
  const std::size_t point = pattern.find('.');
  const std::string_view intPart = pattern.substr(0, point);
  for (const char c : intPart) {
    if (c == '0') ++p.minIntDigits;
  }
  if (point == std::string_view::npos) return p;
  const std::string_view decPart = pattern.substr(point + 1);
  for (std::size_t i = 0; i < decPart.size(); ++i) {
    if (decPart[i] != '0' && decPart[i] != '#') break;
    ++p.maxDecimals;
    if (decPart[i] == '0') p.minDecimals = p.maxDecimals;
  }
  return p;
}

// |value| = 0.digits * 10^exp10, with SIGNIFICANT digits.
struct TDecimal {
  std::string digits;
  int exp10 = 0;
};

TDecimal ToDecimal(double magnitude) {
  char text[64];
  const auto res = std::to_chars(text, text + sizeof text, magnitude,
                                 std::chars_format::scientific, SIGNIFICANT - 1);
  TDecimal d;
  const char* p = text;
  for (; p < res.ptr && *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9') d.digits.push_back(*p);
  }
  if (p < res.ptr && p[1] == '+') ++p;  // from_chars takes no plus sign
  int exponent = 0;
  if (p < res.ptr) std::from_chars(p + 1, res.ptr, exponent);
  d.exp10 = exponent + 1;
  if (d.digits.find_first_not_of('0') == std::string::npos) d.exp10 = 0;
  return d;
}

// Keeps `decimals` digits after the point, rounding half away from zero.
void RoundTo(TDecimal& d, int decimals) {
  const int keep = d.exp10 + decimals;
  if (keep >= static_cast<int>(d.digits.size())) return;
  if (keep < 0) {
    d.digits.clear();
    return;
  }
  const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
  d.digits.resize(static_cast<std::size_t>(keep));
  if (!up) return;
  int i = keep - 1;
  for (; i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9'; --i) {
    d.digits[static_cast<std::size_t>(i)] = '0';
  }
  if (i >= 0) {
    ++d.digits[static_cast<std::size_t>(i)];
  } else {
    d.digits.insert(d.digits.begin(), '1');
    ++d.exp10;
  }
}

// Digit at decimal position `pos` (0 = first integer digit of 0.digits form).
char DigitAt(const TDecimal& d, int pos) {
  if (pos < 0 || pos >= static_cast<int>(d.digits.size())) return '0';
  return d.digits[static_cast<std::size_t>(pos)];
}

std::string NonFinite(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

}  // namespace

std::string FormatFloat(std::string_view pattern, double value) {
  if (!std::isfinite(value)) return NonFinite(value);
  const TPattern p = ParsePattern(pattern);
  TDecimal d = ToDecimal(std::fabs(value));
  RoundTo(d, p.maxDecimals);

  std::string intPart;
  for (int pos = 0; pos < d.exp10; ++pos) intPart.push_back(DigitAt(d, pos));
  intPart.erase(0, intPart.find_first_not_of('0'));
  if (static_cast<int>(intPart.size()) < p.minIntDigits) {
    intPart.insert(0, static_cast<std::size_t>(p.minIntDigits) - intPart.size(), '0');
  }
  std::string decPart;
  for (int k = 0; k < p.maxDecimals; ++k) decPart.push_back(DigitAt(d, d.exp10 + k));
  while (static_cast<int>(decPart.size()) > p.minDecimals && decPart.back() == '0') {
    decPart.pop_back();
  }

  const bool nonZero = d.digits.find_first_not_of('0') != std::string::npos;
  std::string out = (value < 0 && nonZero) ? "-" : "";
  out += intPart;
  if (!decPart.empty()) out += "." + decPart;
  return out;
}

}  // namespace doz::platform

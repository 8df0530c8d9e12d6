#include "Number_text.h"

#include <array>
#include <string_view>

namespace doz::analysis {
namespace {

// The largest double has 309 digits before the point: room for those, a
// sign, the point and up to 80 decimals.
using TDigits = std::array<char, 400>;

// Every digit before the exponent is a zero ("-0", "0.00", "-0.0e+00"); not
// so for "inf" or "nan".
bool ShowsZero(std::string_view text) {
  const std::string_view mantissa = text.substr(0, text.find('e'));
  return mantissa.find_first_not_of("-0.") == std::string_view::npos;
}

std::string Written(const char* begin, std::to_chars_result end) {
  if (end.ec != std::errc()) return {};
  std::string_view text(begin, end.ptr);
  if (text.starts_with('-') && ShowsZero(text)) text.remove_prefix(1);
  return std::string(text);
}

}  // namespace

std::string NumberText(double value, std::chars_format format, int precision) {
  TDigits text;
  return Written(text.data(),
                 std::to_chars(text.data(), text.data() + text.size(), value, format, precision));
}

std::string NumberText(double value) {
  TDigits text;
  return Written(text.data(), std::to_chars(text.data(), text.data() + text.size(), value));
}

std::string SignedNumberText(double value, int decimals) {
  const std::string text = NumberText(value, std::chars_format::fixed, decimals);
  if (text.empty() || text[0] == '-' || ShowsZero(text)) return text;
  return "+" + text;
}

}  // namespace doz::analysis

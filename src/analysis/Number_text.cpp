#include "Number_text.h"

#include <array>

namespace doz::analysis {
namespace {

// The largest double has 309 digits before the point: room for those, a
// sign, the point and up to 80 decimals.
using TDigits = std::array<char, 400>;

std::string Written(char* begin, std::to_chars_result end) {
  if (end.ec != std::errc()) return {};
  return std::string(begin, end.ptr);
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

}  // namespace doz::analysis

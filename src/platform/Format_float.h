// Number formatting with digit patterns such as "#0.00" or "0.000": "0"
// always prints a digit, "#" only a significant one; the number of decimals
// is fixed by the pattern. Rounding is half away from zero, applied to the
// value's 18-significant-digit decimal form. The decimal point is always a
// period, whatever the process locale.
#pragma once

#include <string>
#include <string_view>

namespace doz::platform {

std::string FormatFloat(std::string_view pattern, double value);

}  // namespace doz::platform

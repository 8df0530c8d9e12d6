// Numbers as text through std::to_chars: a period as decimal point whatever
// the locale. The one place the analysis and its commands turn a double into
// digits.
#pragma once

#include <charconv>
#include <string>

namespace doz::analysis {

// In the format with the precision to_chars takes: decimals for fixed and
// scientific, significant digits for general. Any finite double fits.
std::string NumberText(double value, std::chars_format format, int precision);
// The shortest text that reads back as the same double.
std::string NumberText(double value);

}  // namespace doz::analysis

// Numbers as text through std::to_chars: a period as decimal point whatever
// the locale. The one place the analysis and its commands turn a double into
// digits. No text reads "-0": a value that shows as zero ("-0.00" from
// -0.001, or -0.0 itself) shows without a sign.
#pragma once

#include <charconv>
#include <string>

namespace doz::analysis {

// In the format with the precision to_chars takes: decimals for fixed and
// scientific, significant digits for general. Any finite double fits.
std::string NumberText(double value, std::chars_format format, int precision);
// The shortest text that reads back as the same double (zero as "0").
std::string NumberText(double value);
// A deviation with its sign: "+1.50", "-0.25", and "0.00" without one for a
// value that shows as zero.
std::string SignedNumberText(double value, int decimals);

}  // namespace doz::analysis

// Numbers with SI prefixes: read as a circuit's values are written on the
// command line ("400p", "6.8k"), printed as a person reads them ("6.80 kΩ").
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace doz::analysis {

// A decimal number (exponent allowed) with at most one prefix f p n u m k M G
// after it. Nothing for anything else, and for results that are not finite.
std::optional<double> ParseSi(std::string_view text);

// Three significant digits and the prefix that puts one to three digits
// before the point: "6.80 kΩ", "2.50 H", "400 pF". Values beyond the prefixes
// are shown with an exponent ("1.20e-18 F"); zero as "0 Ω".
std::string FormatSi(double value, std::string_view unit);

}  // namespace doz::analysis

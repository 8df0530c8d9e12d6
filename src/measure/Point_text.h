// Read-out texts of one point record, as the status bar shows them.
#pragma once

#include <string>

#include "Doz_setting.h"

namespace doz {

// Below 100 Hz "#.00[Hz]", below 1000 Hz "#.0[Hz]", else "#.000[kHz]"; the
// frequency is taken in single precision.
std::string FormatFrequencyText(const char* record);
// Up to 1000 Ω "#0[Ω]", up to 10000 Ω "#0.000[kΩ]", above "#0.00[kΩ]".
std::string FormatResistanceText(const char* record);
// "#0.00[deg]".
std::string FormatPhaseText(const char* record);
// "周波数：" frequency " / " resistance " / " phase.
std::string PointReadoutText(const char* record);
// The same of values that are no record's (corrected for the test leads).
std::string PointReadoutText(double hertz, double ohms, double degrees);
// "周波数：" the band's first frequency "..." that of the last of `points`
// points received: a finished sweep, also one that ended early, whose later
// slots hold empty records.
std::string BandReadoutText(const TRawData& data, int points);

}  // namespace doz

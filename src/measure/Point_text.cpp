#include "Point_text.h"

#include <algorithm>

#include "Doz_setting.h"
#include "Format_float.h"

namespace doz {

using platform::FormatFloat;

namespace {

std::string FrequencyText(double hertz) {
  const auto f = static_cast<float>(hertz);
  if (f < 100.0f) return FormatFloat("#.00", f) + "[Hz]";
  if (f < 1000.0f) return FormatFloat("#.0", f) + "[Hz]";
  return FormatFloat("#.000", f * 0.001) + "[kHz]";
}

std::string ResistanceText(double r) {
  if (r <= 1000) return FormatFloat("#0", r) + "[Ω]";
  if (r <= 10000) return FormatFloat("#0.000", r * 0.001) + "[kΩ]";
  return FormatFloat("#0.00", r * 0.001) + "[kΩ]";
}

std::string PhaseText(double degrees) { return FormatFloat("#0.00", degrees) + "[deg]"; }

}  // namespace

std::string FormatFrequencyText(const char* record) { return FrequencyText(DecodeRecord(record).Freq); }

std::string FormatResistanceText(const char* record) {
  return ResistanceText(static_cast<double>(Hex6ToInt(record)));
}

std::string FormatPhaseText(const char* record) {
  return PhaseText(Hex4ToSigned(record + 6) * 0.01);
}

std::string PointReadoutText(const char* record) {
  return "周波数：" + FormatFrequencyText(record) + " / " + FormatResistanceText(record) + " / " +
         FormatPhaseText(record);
}

std::string PointReadoutText(double hertz, double ohms, double degrees) {
  return "周波数：" + FrequencyText(hertz) + " / " + ResistanceText(ohms) + " / " + PhaseText(degrees);
}

std::string BandReadoutText(const TRawData& data, int points) {
  const int first = BandFirstIndex(data.Band);
  const int last = std::clamp(first + points - 1, first, BandLastIndex(data.Band));
  return "周波数：" + FormatFrequencyText(data.Data[first].data()) + "..." +
         FormatFrequencyText(data.Data[last].data());
}

}  // namespace doz

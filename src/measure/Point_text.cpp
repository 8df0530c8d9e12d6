#include "Point_text.h"

#include <algorithm>

#include "Doz_setting.h"
#include "Format_float.h"

namespace doz {

using platform::FormatFloat;

std::string FormatFrequencyText(const char* record) {
  const auto f = static_cast<float>(DecodeRecord(record).Freq);
  if (f < 100.0f) return FormatFloat("#.00", f) + "[Hz]";
  if (f < 1000.0f) return FormatFloat("#.0", f) + "[Hz]";
  return FormatFloat("#.000", f * 0.001) + "[kHz]";
}

std::string FormatResistanceText(const char* record) {
  const std::int64_t r = Hex6ToInt(record);
  if (r <= 1000) return FormatFloat("#0", static_cast<double>(r)) + "[Ω]";
  if (r <= 10000) return FormatFloat("#0.000", r * 0.001) + "[kΩ]";
  return FormatFloat("#0.00", r * 0.001) + "[kΩ]";
}

std::string FormatPhaseText(const char* record) {
  return FormatFloat("#0.00", Hex4ToSigned(record + 6) * 0.01) + "[deg]";
}

std::string PointReadoutText(const char* record) {
  return "周波数：" + FormatFrequencyText(record) + " / " + FormatResistanceText(record) + " / " +
         FormatPhaseText(record);
}

std::string BandReadoutText(const TRawData& data, int points) {
  const int first = BandFirstIndex(data.Band);
  const int last = std::clamp(first + points - 1, first, BandLastIndex(data.Band));
  return "周波数：" + FormatFrequencyText(data.Data[first].data()) + "..." +
         FormatFrequencyText(data.Data[last].data());
}

}  // namespace doz

// Measurement data model: point records, data sets, the band table, the
// graph range record, the settings record and the hexadecimal conversions.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace doz {

constexpr int DATA_MAX = 776;   // slots in every data set; the bands use 0..555
constexpr int RECORD_LEN = 20;  // characters of a point record
constexpr int REF_MAX = 5;      // reference data sets
constexpr int BAND_COUNT = 10;  // bands 1..10

// Frequency factor of the unit's numerator, the decimal constant as the unit
// documents it (not 1000/65536).
constexpr double FREQ_FACTOR = 0.015258789;

// One point record: 20 hexadecimal characters and a terminating NUL.
using TPointRecord = std::array<char, RECORD_LEN + 2>;

struct TRawData {
  std::uint8_t Present = 0;  // 1: holds a measurement (measured or loaded)
  std::string DateTime;      // date and time of the sweep; empty when none
  std::int32_t Band = 1;     // 1..10
  std::array<TPointRecord, DATA_MAX> Data{};
};

struct TCalcData {
  std::uint8_t Valid = 0;  // 1 after a successful decoding
  std::array<double, DATA_MAX> R{};      // ohms; -1.0 marks a slot without value
  std::array<double, DATA_MAX> Theta{};  // degrees
  std::array<double, DATA_MAX> Freq{};   // hertz
};

struct TGraphRange {
  std::int32_t StartFreq = 10;
  std::int32_t StopFreq = 100000;
  double MinR = 1000.0;
  double MaxR = 100000.0;
  double MinTheta = -90.0;
  double MaxTheta = 90.0;
  std::int32_t Band = 1;
  const TCalcData* PlotMeas = nullptr;
  std::array<const TCalcData*, REF_MAX> PlotRef{};
};

// Colours are 0x00BBGGRR: red in the lowest byte. The member defaults are
// those of SetDefaultSetting, and the interface state of a new window.
using TColorRef = std::uint32_t;

struct TSettingData {
  std::int32_t CommPortNum = 1;  // 1..256
  TColorRef PenColor_R = 16711680;
  TColorRef PenColor_Theta = 255;
  std::array<TColorRef, REF_MAX> PenColor_R_Ref{8421376, 8421376, 8421376, 8421376, 8421376};
  std::array<TColorRef, REF_MAX> PenColor_Theta_Ref{8388736, 8388736, 8388736, 8388736, 8388736};
  std::array<std::string, 3> pstr;  // the print-information lines
  std::int32_t band = 1;
  std::uint8_t fronly = 0;
  std::uint8_t fwide = 0;
  std::uint8_t fave3 = 1;
  std::uint8_t flog = 0;
  std::uint8_t faveM = 0;

  friend bool operator==(const TSettingData&, const TSettingData&) = default;
};

struct TWindowPos {
  std::int32_t top = 171;
  std::int32_t left = 241;
  std::int32_t width = 640;
  std::int32_t height = 486;

  friend bool operator==(const TWindowPos&, const TWindowPos&) = default;
};

// Band table. Callers pass band numbers 1..10 only; the file readers reject
// other bands before anything indexes the table.
std::int32_t BandStartFreq(int band);
std::int32_t BandStopFreq(int band);
std::int32_t BandDataNum(int band);
std::int32_t BandFirstIndex(int band);
std::int32_t BandLastIndex(int band);
// Text of the band's entry in the band selector, UTF-8 ("10Hz～100kHz").
const char* BandLabel(int band);
bool IsValidBand(int band);

void InitGraphRange(TGraphRange& range, int band);
void ClearRawData(TRawData& set);
void ClearCalcData(TCalcData& set);
// A missing set (null) or a band outside 1..10 gives false and changes nothing.
bool MakeCalcData(const TRawData* raw, TCalcData* calc, TCalcData* ave);
bool MakeCalcPoint(const TRawData* raw, TCalcData* calc, int slot, TCalcData* ave);

// Decoded values of one record (the rules of MakeCalcData for one slot).
struct TPointValues {
  double R;
  double Theta;
  double Freq;
};
TPointValues DecodeRecord(const char* record);

// Hexadecimal conversions: any character that is not a hexadecimal digit
// counts as digit 0; conversion never stops early and never fails.
int HexCharValue(char c);
bool IsHexChar(const char* text);
std::int64_t HexToInt(const char* text, int length);
std::int64_t HexToInt(const std::string& text);
std::int64_t Hex6ToInt(const char* text);
std::int64_t Hex4ToInt(const char* text);
std::int32_t Hex4ToSigned(const char* text);

void SetDefaultSetting(TSettingData& setting);

}  // namespace doz

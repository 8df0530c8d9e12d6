#include "Doz_setting.h"

#include <cstring>

namespace doz {
namespace {

struct TBand {
  const char* label;
  std::int32_t start, stop, first, last;
};

// All bands are windows onto the one 556-slot grid: 10 Hz at slot 0, 100 Hz
// at 94, 1 kHz at 215, 10 kHz at 367, 100 kHz at 555.
constexpr TBand kBands[BAND_COUNT] = {
    {"10Hz～100kHz", 10, 100000, 0, 555},  {"100Hz～100kHz", 100, 100000, 94, 555},
    {"1kHz～100kHz", 1000, 100000, 215, 555}, {"10kHz～100kHz", 10000, 100000, 367, 555},
    {"10Hz～10kHz", 10, 10000, 0, 367},    {"100Hz～10kHz", 100, 10000, 94, 367},
    {"1kHz～10kHz", 1000, 10000, 215, 367},  {"10Hz～1kHz", 10, 1000, 0, 215},
    {"100Hz～1kHz", 100, 1000, 94, 215},    {"10Hz～100Hz", 10, 100, 0, 94},
};

const TBand& BandOf(int band) { return kBands[band - 1]; }

constexpr TColorRef kTeal = 8421376;
constexpr TColorRef kPurple = 8388736;

void SmoothInto(const std::array<double, DATA_MAX>& a, std::array<double, DATA_MAX>& s, int f,
                int l) {
  s[f] = a[f];
  s[f + 1] = (a[f] + a[f + 1] + a[f + 2]) * (1.0 / 3.0);
  for (int j = f + 2; j <= l - 2; ++j) s[j] = (a[j - 2] + a[j - 1] + a[j] + a[j + 1] + a[j + 2]) * 0.2;
  s[l - 1] = (a[l] + a[l - 1] + a[l - 2]) * (1.0 / 3.0);
  s[l] = a[l];
}

void DecodeInto(const TRawData& raw, TCalcData& calc, int slot) {
  const TPointValues v = DecodeRecord(raw.Data[slot].data());
  calc.R[slot] = v.R;
  calc.Theta[slot] = v.Theta;
  calc.Freq[slot] = v.Freq;
}

}  // namespace

bool IsValidBand(int band) { return band >= 1 && band <= BAND_COUNT; }
std::int32_t BandStartFreq(int band) { return BandOf(band).start; }
std::int32_t BandStopFreq(int band) { return BandOf(band).stop; }
std::int32_t BandFirstIndex(int band) { return BandOf(band).first; }
std::int32_t BandLastIndex(int band) { return BandOf(band).last; }
std::int32_t BandDataNum(int band) { return BandOf(band).last - BandOf(band).first + 1; }
const char* BandLabel(int band) { return BandOf(band).label; }

void InitGraphRange(TGraphRange& range, int band) {
  range.StartFreq = BandStartFreq(band);
  range.StopFreq = BandStopFreq(band);
  range.MinR = 1000.0;
  range.MaxR = 100000.0;
  range.MinTheta = -90.0;
  range.MaxTheta = 90.0;
  range.Band = band;
}

void ClearRawData(TRawData& set) {
  for (TPointRecord& rec : set.Data) {
    std::memset(rec.data(), '0', RECORD_LEN);
    rec[RECORD_LEN] = '\0';
    rec[RECORD_LEN + 1] = '\0';
  }
}

void ClearCalcData(TCalcData& set) {
  set.Valid = 0;
  set.R.fill(-1.0);
  set.Theta.fill(0.0);
  set.Freq.fill(0.0);
}

TPointValues DecodeRecord(const char* record) {
  TPointValues v;
  v.R = static_cast<double>(Hex6ToInt(record));
  v.Theta = Hex4ToSigned(record + 6) * 0.01;
  const double n = static_cast<double>(Hex6ToInt(record + 10));
  const double d = static_cast<double>(Hex4ToInt(record + 16));
  v.Freq = d == 0.0 ? n * FREQ_FACTOR * 2.0 : n * FREQ_FACTOR / d;
  return v;
}

bool MakeCalcData(const TRawData* raw, TCalcData* calc, TCalcData* ave) {
  if (!raw || !calc || !ave || !IsValidBand(raw->Band)) return false;
  ClearCalcData(*calc);
  ClearCalcData(*ave);
  const int f = BandFirstIndex(raw->Band);
  const int l = BandLastIndex(raw->Band);
  for (int i = f; i <= l; ++i) {
    DecodeInto(*raw, *calc, i);
    ave->Freq[i] = calc->Freq[i];
  }
  SmoothInto(calc->R, ave->R, f, l);
  SmoothInto(calc->Theta, ave->Theta, f, l);
  calc->Valid = 1;
  ave->Valid = 1;
  return true;
}

bool MakeCalcPoint(const TRawData* raw, TCalcData* calc, int slot, TCalcData* ave) {
  if (!raw || !calc || !ave || slot < 0 || slot >= DATA_MAX) return false;
  DecodeInto(*raw, *calc, slot);
  ave->R[slot] = calc->R[slot];
  ave->Theta[slot] = calc->Theta[slot];
  ave->Freq[slot] = calc->Freq[slot];
  return true;
}

int HexCharValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

bool IsHexChar(const char* text) {
  if (!text) return false;
  const char c = text[0];
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::int64_t HexToInt(const char* text, int length) {
  std::uint64_t value = 0;  // unsigned: an over-long text wraps instead of overflowing
  for (int i = 0; i < length; ++i) value = value * 16u + static_cast<unsigned>(HexCharValue(text[i]));
  return static_cast<std::int64_t>(value);
}

std::int64_t HexToInt(const std::string& text) {
  return HexToInt(text.data(), static_cast<int>(text.size()));
}

std::int64_t Hex6ToInt(const char* text) { return HexToInt(text, 6); }
std::int64_t Hex4ToInt(const char* text) { return HexToInt(text, 4); }

std::int32_t Hex4ToSigned(const char* text) {
  const auto p = static_cast<std::int32_t>(Hex4ToInt(text));
  return p >= 0x8000 ? p - 0x10000 : p;
}

void SetDefaultSetting(TSettingData& setting) {
  setting.CommPortNum = 1;
  setting.PenColor_R = 16711680;  // blue
  setting.PenColor_Theta = 255;   // red
  setting.PenColor_R_Ref.fill(kTeal);
  setting.PenColor_Theta_Ref.fill(kPurple);
}

}  // namespace doz

#include "Doz_setting.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <string>

namespace doz {
namespace {

TRawData WithRecord(int slot, const char* record, int band = 1) {
  TRawData raw;
  raw.Band = band;
  ClearRawData(raw);
  std::memcpy(raw.Data[slot].data(), record, RECORD_LEN);
  return raw;
}

struct TDecodeCase {
  const char* record;
  double r, theta, freq;
};

TEST(DecodeRecord, FieldsOfThePointRecord) {
  const double f = FREQ_FACTOR;
  const TDecodeCase cases[] = {
      {"0003E8FC1800FFFF0001", 1000, -10.00, 65535 * f},  // 999.985 Hz
      {"00000000000000000000", 0, 0, 0},                  // a cleared record
      {"FFFFFF8000000001FFFF", 16777215, -327.68, 1 * f / 65535},
      {"000001FFFF0000020002", 1, -0.01, 2 * f / 2},
      {"0000017FFF0001000000", 1, 327.67, 256 * f * 2},  // divisor 0 doubles
      {"00000A0001FFFFFF0003", 10, 0.01, 16777215 * f / 3},
      {"0003e8fc1800ffff0001", 1000, -10.00, 65535 * f},  // lower case
      {"0003G8FC 800FFFF0001", 0x308, -10.16, 65535 * f},  // "G" and blank count as 0
  };
  for (const TDecodeCase& c : cases) {
    const TPointValues v = DecodeRecord(c.record);
    EXPECT_DOUBLE_EQ(v.R, c.r) << c.record;
    EXPECT_NEAR(v.Theta, c.theta, 1e-9) << c.record;
    EXPECT_DOUBLE_EQ(v.Freq, c.freq) << c.record;
  }
  EXPECT_NEAR(DecodeRecord("0003E8FC1800FFFF0001").Freq, 999.985, 0.0005);
}

TEST(HexConversion, DigitsAndNonDigits) {
  EXPECT_EQ(HexToInt("0"), 0);
  EXPECT_EQ(HexToInt("ff"), 255);
  EXPECT_EQ(HexToInt("FF"), 255);
  EXPECT_EQ(HexToInt("aBcDeF"), 0xABCDEF);
  EXPECT_EQ(HexToInt("1G2"), 0x102);   // a non-digit counts as 0 and does not stop
  EXPECT_EQ(HexToInt(" 1 "), 0x010);
  EXPECT_EQ(HexToInt(""), 0);
  EXPECT_EQ(HexToInt("7FFFFFFFFFFFFFFF"), 0x7FFFFFFFFFFFFFFF);
  EXPECT_EQ(Hex6ToInt("123456789"), 0x123456);
  EXPECT_EQ(Hex4ToInt("abcdef"), 0xABCD);
  EXPECT_EQ(Hex4ToSigned("8000"), -32768);
  EXPECT_EQ(Hex4ToSigned("FFFF"), -1);
  EXPECT_EQ(Hex4ToSigned("7FFF"), 32767);
  EXPECT_EQ(Hex4ToSigned("0000"), 0);
  const char digits[] = "0123456789abcdefABCDEF";
  for (int i = 0; digits[i]; ++i) {
    EXPECT_EQ(HexCharValue(digits[i]), i < 16 ? i : i - 6) << digits[i];
    EXPECT_TRUE(IsHexChar(&digits[i]));
  }
  for (const char c : {'g', 'G', ' ', '/', ':', '@', '`', '\0', '\xFF'}) {
    EXPECT_EQ(HexCharValue(c), 0) << c;
    const char text[] = {c, '1', '\0'};
    EXPECT_FALSE(IsHexChar(text)) << c;
  }
  EXPECT_FALSE(IsHexChar(nullptr));
}

// Slots of the decade frequencies on the common grid of 556 points.
const std::map<std::int32_t, int> kDecadeSlot = {
    {10, 0}, {100, 94}, {1000, 215}, {10000, 367}, {100000, 555}};

std::string FreqLabel(std::int32_t hz) {
  return hz < 1000 ? std::to_string(hz) + "Hz" : std::to_string(hz / 1000) + "kHz";
}

TEST(BandTable, BandsAreWindowsOntoOneGrid) {
  // Numbered from the highest stop down, and within one stop from the lowest start up.
  int band = 0;
  for (std::int32_t stop = 100000; stop >= 100; stop /= 10) {
    for (std::int32_t start = 10; start < stop; start *= 10) {
      SCOPED_TRACE(++band);
      ASSERT_TRUE(IsValidBand(band));
      EXPECT_EQ(BandStartFreq(band), start);
      EXPECT_EQ(BandStopFreq(band), stop);
      EXPECT_EQ(BandFirstIndex(band), kDecadeSlot.at(start));
      EXPECT_EQ(BandLastIndex(band), kDecadeSlot.at(stop));
      EXPECT_EQ(BandDataNum(band), kDecadeSlot.at(stop) - kDecadeSlot.at(start) + 1);
      EXPECT_EQ(BandLabel(band), FreqLabel(start) + "～" + FreqLabel(stop));
      TGraphRange range;
      InitGraphRange(range, band);
      EXPECT_EQ(range.StartFreq, start);
      EXPECT_EQ(range.StopFreq, stop);
      EXPECT_EQ(range.Band, band);
      EXPECT_EQ(range.MinR, 1000.0);
      EXPECT_EQ(range.MaxR, 100000.0);
      EXPECT_EQ(range.MinTheta, -90.0);
      EXPECT_EQ(range.MaxTheta, 90.0);
    }
  }
  EXPECT_EQ(band, BAND_COUNT);
  for (int invalid : {0, -1, 11, 1000}) EXPECT_FALSE(IsValidBand(invalid));
}

TRawData RandomRaw(int band, unsigned seed) {
  TRawData raw;
  raw.Band = band;
  ClearRawData(raw);
  std::mt19937 rng(seed);
  for (int i = 0; i < DATA_MAX; ++i) {
    char text[32];
    std::snprintf(text, sizeof text, "%06X%04X%06X%04X", static_cast<unsigned>(rng() % 0x1000000),
                  static_cast<unsigned>(rng() % 0x10000), static_cast<unsigned>(rng() % 0x1000000),
                  static_cast<unsigned>(rng() % 0x10000));
    std::memcpy(raw.Data[i].data(), text, RECORD_LEN);
  }
  return raw;
}

// Mean of a[a..b] computed here, not by the code under test.
double Mean(const std::array<double, DATA_MAX>& a, int from, int to) {
  double sum = 0;
  for (int j = from; j <= to; ++j) sum += a[j];
  return sum / (to - from + 1);
}

TEST(MakeCalcData, SmoothingTakesThreeAndFivePointMeansAndCopiesTheEnds) {
  for (int band = 1; band <= BAND_COUNT; ++band) {
    const TRawData raw = RandomRaw(band, 100u + static_cast<unsigned>(band));
    TCalcData calc, ave;
    ASSERT_TRUE(MakeCalcData(&raw, &calc, &ave));
    EXPECT_EQ(calc.Valid, 1);
    EXPECT_EQ(ave.Valid, 1);
    const int f = BandFirstIndex(band), l = BandLastIndex(band);
    for (int i = f; i <= l; ++i) {
      const TPointValues v = DecodeRecord(raw.Data[i].data());
      ASSERT_EQ(calc.R[i], v.R);
      ASSERT_EQ(calc.Theta[i], v.Theta);
      ASSERT_EQ(calc.Freq[i], v.Freq);
      ASSERT_EQ(ave.Freq[i], v.Freq) << "the frequency is never smoothed";
      int from = i - 2, to = i + 2;
      if (i == f || i == l) from = to = i;
      if (i == f + 1 || i == l - 1) from = i - 1, to = i + 1;
      ASSERT_NEAR(ave.R[i], Mean(calc.R, from, to), 1e-6) << band << " " << i;
      ASSERT_NEAR(ave.Theta[i], Mean(calc.Theta, from, to), 1e-9) << band << " " << i;
    }
  }
}

TEST(MakeCalcData, SlotsOutsideTheBandHoldNoValue) {
  for (int band : {2, 4, 10}) {
    const TRawData raw = RandomRaw(band, 7);
    TCalcData calc, ave;
    calc.R.fill(5.0);  // left over from an earlier, wider measurement
    ave.Theta.fill(5.0);
    ave.Freq.fill(5.0);
    ASSERT_TRUE(MakeCalcData(&raw, &calc, &ave));
    for (int i = 0; i < DATA_MAX; ++i) {
      if (i >= BandFirstIndex(band) && i <= BandLastIndex(band)) continue;
      for (const TCalcData* set : {&calc, &ave}) {
        ASSERT_EQ(set->R[i], -1.0) << band << " " << i;
        ASSERT_EQ(set->Theta[i], 0.0);
        ASSERT_EQ(set->Freq[i], 0.0);
      }
    }
  }
}

TEST(MakeCalcData, MissingSetsAndBadBandsChangeNothing) {
  TRawData raw = RandomRaw(10, 1);
  TCalcData calc, ave;
  calc.R.fill(3.0);
  calc.Valid = 1;
  EXPECT_FALSE(MakeCalcData(nullptr, &calc, &ave));
  EXPECT_FALSE(MakeCalcData(&raw, nullptr, &ave));
  EXPECT_FALSE(MakeCalcData(&raw, &calc, nullptr));
  raw.Band = 11;
  EXPECT_FALSE(MakeCalcData(&raw, &calc, &ave));
  EXPECT_EQ(calc.R[0], 3.0);
  EXPECT_EQ(calc.Valid, 1);
}

TEST(MakeCalcPoint, DecodesOneSlotIntoBothSets) {
  const TRawData raw = WithRecord(775, "0003E8FC1800FFFF0001");
  TCalcData calc, ave;
  ClearCalcData(calc);
  ClearCalcData(ave);
  EXPECT_FALSE(MakeCalcPoint(&raw, &calc, 776, &ave));
  EXPECT_FALSE(MakeCalcPoint(&raw, &calc, -1, &ave));
  EXPECT_FALSE(MakeCalcPoint(nullptr, &calc, 0, &ave));
  EXPECT_FALSE(MakeCalcPoint(&raw, nullptr, 0, &ave));
  EXPECT_FALSE(MakeCalcPoint(&raw, &calc, 0, nullptr));
  ASSERT_TRUE(MakeCalcPoint(&raw, &calc, 775, &ave));
  EXPECT_EQ(calc.R[775], 1000.0);
  EXPECT_NEAR(calc.Theta[775], -10.0, 1e-12);
  EXPECT_EQ(ave.R[775], calc.R[775]);
  EXPECT_EQ(ave.Theta[775], calc.Theta[775]);
  EXPECT_EQ(ave.Freq[775], calc.Freq[775]);
  EXPECT_EQ(calc.R[774], -1.0);  // neighbours untouched
  EXPECT_EQ(calc.Valid, 0);
}

TEST(DataSets, ClearingAndDefaults) {
  TRawData raw;
  raw.Present = 1;
  raw.Band = 5;
  raw.DateTime = "kept";
  for (TPointRecord& rec : raw.Data) rec.fill('x');
  ClearRawData(raw);
  for (const TPointRecord& rec : raw.Data) ASSERT_STREQ(rec.data(), "00000000000000000000");
  EXPECT_EQ(raw.Present, 1);
  EXPECT_EQ(raw.Band, 5);
  EXPECT_EQ(raw.DateTime, "kept");

  TSettingData s;
  s.CommPortNum = 9;
  s.PenColor_R = s.PenColor_Theta = 1;
  s.PenColor_R_Ref.fill(2);
  s.PenColor_Theta_Ref.fill(3);
  s.band = 4;
  s.fave3 = 0;
  s.pstr[0] = "kept";
  SetDefaultSetting(s);
  EXPECT_EQ(s.CommPortNum, 1);
  EXPECT_EQ(s.PenColor_R, 0xFF0000u);      // blue
  EXPECT_EQ(s.PenColor_Theta, 0x0000FFu);  // red
  for (TColorRef c : s.PenColor_R_Ref) EXPECT_EQ(c, 0x808000u);      // teal
  for (TColorRef c : s.PenColor_Theta_Ref) EXPECT_EQ(c, 0x800080u);  // purple
  EXPECT_EQ(s.band, 4);
  EXPECT_EQ(s.fave3, 0);
  EXPECT_EQ(s.pstr[0], "kept");
}

}  // namespace
}  // namespace doz

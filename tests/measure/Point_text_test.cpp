// Read-out texts of a point record at and around every threshold.
#include "Point_text.h"

#include <gtest/gtest.h>

#include "Scripted_unit.h"

namespace doz {
namespace {

using test::PointRecordText;

TEST(PointText, TheReadOutOfOneRecord) {
  const char* record = "0003E8FC1800FFFF0001";
  EXPECT_EQ(FormatResistanceText(record), "1000[Ω]");
  EXPECT_EQ(FormatPhaseText(record), "-10.00[deg]");
  EXPECT_EQ(FormatFrequencyText(record), "1000.0[Hz]") << "999.98 Hz: still below 1000";
  EXPECT_EQ(PointReadoutText(record), "周波数：1000.0[Hz] / 1000[Ω] / -10.00[deg]");
}

TEST(PointText, ResistanceChangesUnitAboveOneAndTenKiloOhms) {
  const std::pair<std::uint32_t, const char*> cases[] = {
      {0, "0[Ω]"},          {999, "999[Ω]"},        {1000, "1000[Ω]"},
      {1001, "1.001[kΩ]"},  {9999, "9.999[kΩ]"},    {10000, "10.000[kΩ]"},
      {10001, "10.00[kΩ]"}, {123456, "123.46[kΩ]"}, {150000, "150.00[kΩ]"},
  };
  for (const auto& [ohms, text] : cases) {
    EXPECT_EQ(FormatResistanceText(PointRecordText(ohms, 0, 1, 1).c_str()), text) << ohms;
  }
}

TEST(PointText, PhaseIsSignedHundredthsOfADegree) {
  const std::pair<int, const char*> cases[] = {
      {0, "0.00[deg]"},          {1, "0.01[deg]"},       {-1, "-0.01[deg]"},
      {9000, "90.00[deg]"},      {-9000, "-90.00[deg]"}, {0x7FFF, "327.67[deg]"},
      {-0x8000, "-327.68[deg]"},
  };
  for (const auto& [hundredths, text] : cases) {
    EXPECT_EQ(FormatPhaseText(PointRecordText(1, hundredths, 1, 1).c_str()), text) << hundredths;
  }
}

TEST(PointText, FrequencyInHertzBelowAThousandAndInKilohertzFromThere) {
  struct TCase {
    std::uint32_t numerator;
    std::uint32_t divisor;
    const char* text;
  };
  const TCase cases[] = {
      {10, 1, ".15[Hz]"},        // "#" prints no leading zero
      {655, 1, "9.99[Hz]"},      // 9.9945 Hz
      {6553, 1, "99.99[Hz]"},    // 99.991 Hz
      {6554, 1, "100.0[Hz]"},    // 100.006 Hz
      {65535, 1, "1000.0[Hz]"},  // 999.985 Hz
      {65536, 1, "1.000[kHz]"},  // 999.99999590 Hz is 1000 in single precision
      {655360, 10, "1.000[kHz]"}, {6553600, 1, "100.000[kHz]"},
      {1000, 0, "30.52[Hz]"},  // divisor 0 doubles the numerator's frequency
      {0, 0, ".00[Hz]"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(FormatFrequencyText(PointRecordText(1, 0, c.numerator, c.divisor).c_str()), c.text)
        << c.numerator << "/" << c.divisor;
  }
}

TEST(PointText, CharactersThatAreNoDigitsCountAsZero) {
  EXPECT_EQ(FormatResistanceText("0G03E8FC1800FFFF0001"), "1000[Ω]");
  EXPECT_EQ(FormatResistanceText("zz03e8fc1800ffff0001"), "1000[Ω]");
  EXPECT_EQ(FormatPhaseText("0003E8 3E800FFFF0001"), "10.00[deg]");
}

// A sweep that ended early reads from its first point to its last one, never
// to the empty records after it; a whole sweep to the band's last point.
TEST(PointText, BandReadOutEndsAtTheLastPointReceived) {
  TRawData data;
  ClearRawData(data);
  data.Band = 10;
  const int first = BandFirstIndex(10);
  const auto put = [&](int n, int numerator) {
    const std::string text = PointRecordText(1, 0, numerator, 1);
    std::copy(text.begin(), text.end(), data.Data[first + n].begin());
  };
  put(0, 655);
  put(2, 6554);
  put(BandDataNum(10) - 1, 65535);
  const struct {
    int points;
    const char* text;
  } cases[] = {{3, "周波数：9.99[Hz]...100.0[Hz]"},
               {0, "周波数：9.99[Hz]...9.99[Hz]"},
               {999, "周波数：9.99[Hz]...1000.0[Hz]"}};
  for (const auto& c : cases) EXPECT_EQ(BandReadoutText(data, c.points), c.text) << c.points;
}

}  // namespace
}  // namespace doz

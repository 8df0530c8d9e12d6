#include "Graph_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "Color_ref.h"

namespace doz {
namespace {

struct TStep {
  double in;
  int out;
};

void ExpectSteps(int (*rule)(double), const std::vector<TStep>& steps) {
  for (const TStep& s : steps) EXPECT_EQ(rule(s.in), s.out) << "input " << s.in;
}

TEST(AxisBounds, FrequencyBoundsGiveEveryBandItsOwnLimits) {
  for (int band = 1; band <= BAND_COUNT; ++band) {
    EXPECT_EQ(FreqAxisLow(BandStartFreq(band)), BandStartFreq(band)) << band;
    EXPECT_EQ(FreqAxisHigh(BandStopFreq(band)), BandStopFreq(band)) << band;
  }
  ExpectSteps(FreqAxisLow, {{9.99, 5}, {249.9, 200}, {250, 250}, {1e9, 100000}, {0, 5}});
  ExpectSteps(FreqAxisHigh, {{0, 50}, {25000, 25000}, {25000.5, 30000}, {50000.1, 100000}});
}

TEST(AxisBounds, ResistanceAndPhaseStepsChangeJustPastTheirThresholds) {
  ExpectSteps(ResistanceFullScale, {{-1, 1000},
                                    {0, 1000},
                                    {900, 1000},
                                    {900.01, 1500},
                                    {4700, 5000},
                                    {4700.5, 10000},
                                    {95000, 100000},
                                    {95000.5, 150000},
                                    {140000, 150000},
                                    {140001, 200000},
                                    {3900000, 4000000},
                                    {3900001, 5000000}});
  ExpectSteps(LogResistanceLow, {{1000, 1000}, {999.9, 500}, {20, 20}, {19.99, 10}, {5e6, 10000}});
  ExpectSteps(LogResistanceHigh,
              {{0, 1000}, {999.9, 1000}, {1000, 2000}, {2999999, 3000000}, {3000000, 5000000}});
  ExpectSteps(
      PhaseHalfRange,
      {{0, 15}, {14, 15}, {14.01, 20}, {85, 90}, {90, 100}, {95, 100}, {130, 135}, {130.01, 180}});
}

TEST(Ticks, PowersOfTenKeepTheirOwnDecade) {
  for (int e = 0; e <= 7; ++e) {
    const double p = PowerOfTen(e);
    EXPECT_EQ(DecadeExponent(p), e);
    EXPECT_EQ(NextTick(p), 1.5 * p) << p;
    EXPECT_TRUE(IsDecadeMultiple(p, 1));
    EXPECT_TRUE(IsDecadeMultiple(3 * p, 3));
    EXPECT_FALSE(IsDecadeMultiple(1.5 * p, 1));
  }
  // Just below a power of ten, log10 may round up to it.
  EXPECT_EQ(NextTick(std::nextafter(1000.0, 0.0)), 1000);
  EXPECT_FALSE(IsDecadeMultiple(std::nextafter(1000.0, 0.0), 1));
  EXPECT_FALSE(IsDecadeMultiple(25, 5));
  EXPECT_FALSE(IsDecadeMultiple(0, 1));
}

TEST(Ticks, NextTickWalksEachDecadeAndClimbsOnRandomInput) {
  std::vector<double> walk;
  for (double t = 10; t < 100; t = NextTick(t)) walk.push_back(t);
  EXPECT_EQ(walk, (std::vector<double>{10, 15, 20, 30, 40, 50, 60, 70, 80, 90}));
  std::mt19937 rng(20240611);
  std::uniform_real_distribution<double> exponent(0.0, 7.0);
  for (int n = 0; n < 2000; ++n) {
    const double x = std::pow(10.0, exponent(rng));
    const double next = NextTick(x);
    const double p = PowerOfTen(DecadeExponent(x));
    ASSERT_GT(next, x);
    ASSERT_LE(next, 10 * p);
    ASSERT_TRUE(p <= x && x < 10 * p) << x;
  }
  EXPECT_EQ(GridTicks(10, 100000).size(), 39u);
  EXPECT_EQ(GridTicks(250, 1000), (std::vector<double>{300, 400, 500, 600, 700, 800, 900}));
}

std::vector<std::string> FreqTexts(int band) {
  std::vector<std::string> texts;
  for (double t : FreqLabelValues(BandStartFreq(band), BandStopFreq(band), 10))
    texts.push_back(FreqLabelText(t));
  return texts;
}

TEST(LabelTexts, FrequencySeriesOfAllTenBands) {
  using V = std::vector<std::string>;
  const V wide{"10", "30", "100", "300", "1k", "3k", "10k", "30k", "100k"};
  const V expected[BAND_COUNT] = {wide,
                                  {"100", "300", "1k", "3k", "10k", "30k", "100k"},
                                  {"1k", "2k", "3k", "5k", "10k", "20k", "30k", "50k", "100k"},
                                  {"10k", "20k", "30k", "50k", "100k"},
                                  {"10", "30", "100", "300", "1k", "3k", "10k"},
                                  {"100", "200", "300", "500", "1k", "2k", "3k", "5k", "10k"},
                                  {"1k", "2k", "3k", "5k", "10k"},
                                  {"10", "20", "30", "50", "100", "200", "300", "500", "1k"},
                                  {"100", "200", "300", "500", "1k"},
                                  {"10", "20", "30", "50", "100"}};
  for (int band = 1; band <= BAND_COUNT; ++band)
    EXPECT_EQ(FreqTexts(band), expected[band - 1]) << band;
  // A low bound of 250 carries no label of its own; ten slots at most.
  EXPECT_EQ(FreqLabelValues(250, 1000, 10), (std::vector<double>{300, 500, 1000}));
  EXPECT_EQ(FreqLabelValues(10, 1000, 3).size(), 3u);
}

TEST(LabelTexts, LinearResistanceLabelsPerFullScale) {
  const struct {
    int full;
    std::vector<std::string> texts;
  } cases[] = {
      {1000, {"1.0k", "0.9k", "0.8k", "0.7k", "0.6k", "0.5k", "0.4k", "0.3k", "0.2k", "0.1k", "0"}},
      {1500, {"1.5k", "1.4k", "1.2k", "1.1k", "0.9k", "0.8k", "0.6k", "0.5k", "0.3k", "0.2k", "0"}},
      {15000,
       {"15.0k", "13.5k", "12.0k", "10.5k", "9.0k", "7.5k", "6.0k", "4.5k", "3.0k", "1.5k", "0"}},
      {20000, {"20k", "18k", "16k", "14k", "12k", "10k", "8k", "6k", "4k", "2k", "0"}},
      {150000, {"150k", "135k", "120k", "105k", "90k", "75k", "60k", "45k", "30k", "15k", "0"}}};
  for (const auto& c : cases)
    for (int i = 0; i <= 10; ++i)
      EXPECT_EQ(LinearResistanceLabelText(c.full, i), c.texts[i]) << c.full;
}

TEST(LabelTexts, LogResistanceAndPhaseLabels) {
  EXPECT_EQ(LogResistanceLabelValues(1000, 2000, 11), (std::vector<double>{1000, 2000}));
  EXPECT_EQ(LogResistanceLabelValues(1000, 20000, 11),
            (std::vector<double>{1000, 2000, 3000, 5000, 10000, 20000}));
  EXPECT_EQ(LogResistanceLabelValues(100, 100000, 11),
            (std::vector<double>{100, 300, 1000, 3000, 10000, 30000, 100000}));
  EXPECT_EQ(LogResistanceLabelValues(10, 5000000, 11),
            (std::vector<double>{10, 100, 1000, 10000, 100000, 1000000, 5000000}));
  const std::pair<double, std::string> texts[] = {
      {10, "10"}, {999, "999"}, {1000, "1k"}, {200000, "200k"}, {1000000, "1M"}, {5000000, "5M"}};
  for (const auto& [t, text] : texts) EXPECT_EQ(LogResistanceLabelText(t), text);
  const std::pair<int, std::string> phases[] = {{100, "+100"}, {80, "+ 80"},   {0, "+  0"},
                                                {-45, "- 45"}, {-135, "-135"}, {1000, "+1000"}};
  for (const auto& [v, text] : phases) EXPECT_EQ(FormatPhaseLabel(v), text);
  for (int i = 0; i <= 10; ++i) EXPECT_EQ(PhaseLabelValue(15, i), 15 - 3 * i);
  EXPECT_EQ(PhaseLabelValue(135, 1), 108);
}

TEST(PixelMappings, TruncateTowardZeroAndPinAtTheEdges) {
  EXPECT_EQ(TruncToPixel(2.9), 2);
  EXPECT_EQ(TruncToPixel(-2.9), -2);
  EXPECT_EQ(TruncToPixel(-0.5), 0);
  EXPECT_EQ(TruncToPixel(1e300), 1000000);
  EXPECT_EQ(TruncToPixel(std::numeric_limits<double>::quiet_NaN()), -1000000);
  EXPECT_EQ(FreqToX(10, 10, 100000, 498), 0);
  EXPECT_EQ(FreqToX(1000, 10, 100000, 498), 249);
  EXPECT_EQ(FreqToX(1000, 10, 100000, 497), 248);
  EXPECT_EQ(FreqToX(100000, 10, 100000, 498), 498);
  EXPECT_EQ(LinearResistanceToY(1000, 1000, 310), 0);
  EXPECT_EQ(LinearResistanceToY(1000.001, 1000, 310), -1);
  EXPECT_EQ(LinearResistanceToY(0, 1000, 310), 310);
  EXPECT_EQ(LinearResistanceToY(420, 1000, 310), 179);
  EXPECT_EQ(LogResistanceToY(200000, 1000, 200000, 310), 0);
  EXPECT_EQ(LogResistanceToY(200001, 1000, 200000, 310), -1);
  EXPECT_EQ(LogResistanceToY(1000, 1000, 200000, 310), 310);
  EXPECT_EQ(LogResistanceToY(10000, 1000, 200000, 310), 175);
  EXPECT_GT(LogResistanceToY(900, 1000, 200000, 310), 310);
  EXPECT_EQ(PhaseToY(100, 100, 310), 0);
  EXPECT_EQ(PhaseToY(100.01, 100, 310), -1);
  EXPECT_EQ(PhaseToY(-100, 100, 310), 310);
  EXPECT_EQ(PhaseToY(-100.01, 100, 310), 310);
  EXPECT_EQ(PhaseToY(33, 100, 310), 103);
}

TEST(PixelMappings, CursorFrequencyInvertsTheAxis) {
  EXPECT_DOUBLE_EQ(FrequencyAtX(0, 500, 10, 100000), 10);
  EXPECT_NEAR(FrequencyAtX(500, 500, 10, 100000), 100000, 1e-6);
  EXPECT_NEAR(FrequencyAtX(250, 500, 10, 100000), 1000, 1e-9);
  EXPECT_EQ(FrequencyAtX(10, 0, 10, 100000), 0);
}

TEST(ColorRefs, RedSitsInTheLowestByte) {
  EXPECT_EQ(ColorFromRef(0xFF0000), QColor(0, 0, 255));
  EXPECT_EQ(ColorFromRef(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(ColorFromRef(0x808000), QColor(0, 128, 128));
  EXPECT_EQ(RefFromColor(QColor(1, 2, 3, 4)), 0x030201u);
  std::mt19937 rng(7);
  for (int n = 0; n < 200; ++n) {
    const TColorRef ref = rng() & 0xFFFFFFu;
    ASSERT_EQ(RefFromColor(ColorFromRef(ref)), ref);
  }
}

}  // namespace
}  // namespace doz

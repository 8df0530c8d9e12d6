#include "Format_float.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace doz::platform {
namespace {

struct TFormatCase {
  const char* pattern;
  double value;
  const char* expected;
};

TEST(FormatFloat, DigitPatternsOfTheApplication) {
  const TFormatCase cases[] = {
      {"#.0", 999.985, "1000.0"},   // rounds on the 18-digit form, carrying over
      {"#.00", 0.0, ".00"},         // "#" prints no insignificant zero
      {"#.00", 0.5, ".50"},
      {"#.00", 99.994, "99.99"},
      {"#.00", 99.995, "100.00"},   // 99.9949999... in binary, 99.995000... in 18 digits
      {"#.000", 1.0005, "1.000"},   // 1.00049999999999994 in 18 digits
      {"#0", 1.5, "2"},
      {"#0", 2.5, "3"},             // half away from zero, not to even
      {"#0", 0.4, "0"},
      {"#0", 1000.0, "1000"},
      {"#0.000", 1.0004999, "1.000"},
      {"#0.000", 16777.215, "16777.215"},
      {"#0.00", 10000.001, "10000.00"},
      {"#0.00", -0.01, "-0.01"},
      {"0.000", 0.0, "0.000"},
      {"0.000", 0.0005, "0.001"},
      {"0.000", 0.00049, "0.000"},
      {"0.000", 99.99, "99.990"},
      {"0.000", 123456789.0, "123456789.000"},
      {"0.00", -12.5, "-12.50"},
      {"0.00", -327.68, "-327.68"},
      {"0.00", -0.004, "0.00"},     // rounds to zero: no sign
      {"0.00", -0.0, "0.00"},
      {"0.00", -0.005, "-0.01"},
      {"0.00", 1e-300, "0.00"},
      {"0.00", 0.995, "0.99"},     // 0.994999999999999996
      {"00.0", 5.25, "05.3"},
      {"#.##", 1.5, "1.5"},         // optional decimals drop trailing zeros
      {"#.#0", 2.0, "2.00"},        // decimals up to the last "0" stay
      {"0", 0.5, "1"},
  };
  for (const TFormatCase& c : cases) {
    EXPECT_EQ(FormatFloat(c.pattern, c.value), c.expected) << c.pattern << " " << c.value;
  }
}

TEST(FormatFloat, ValuesThatAreNotNumbers) {
  EXPECT_EQ(FormatFloat("0.00", std::numeric_limits<double>::quiet_NaN()), "NAN");
  EXPECT_EQ(FormatFloat("0.00", std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(FormatFloat("0.00", -std::numeric_limits<double>::infinity()), "-INF");
}

// Integers of hundredths print exactly: compares against integer arithmetic.
TEST(FormatFloat, HundredthsMatchIntegerArithmetic) {
  std::mt19937 rng(77);
  std::uniform_int_distribution<long> dist(-5000000, 5000000);
  for (int i = 0; i < 5000; ++i) {
    const long hundredths = dist(rng);
    const long whole = std::labs(hundredths) / 100;
    const long frac = std::labs(hundredths) % 100;
    std::string expected = (hundredths < 0 ? "-" : "") + std::to_string(whole) + "." +
                           (frac < 10 ? "0" : "") + std::to_string(frac);
    ASSERT_EQ(FormatFloat("0.00", static_cast<double>(hundredths) / 100.0), expected);
  }
}

}  // namespace
}  // namespace doz::platform

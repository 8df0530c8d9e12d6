// Numbers as doz-cli, the exchange files and the analysis window print them:
// nothing that shows as zero carries a sign.
#include "Number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "Si_number.h"

namespace doz::analysis {
namespace {

using std::chars_format;

TEST(NumberText, AValueThatShowsAsZeroHasNoSign) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::tuple<double, chars_format, int, const char*> cases[] = {
      {-0.0, chars_format::fixed, 2, "0.00"},      {-0.004, chars_format::fixed, 2, "0.00"},
      {-0.0, chars_format::fixed, 0, "0"},         {-0.4, chars_format::fixed, 0, "0"},
      {-0.0, chars_format::scientific, 2, "0.00e+00"}, {-0.0, chars_format::general, 9, "0"},
      {-0.006, chars_format::fixed, 2, "-0.01"},   {-1e-20, chars_format::general, 9, "-1e-20"},
      {-0.6, chars_format::fixed, 0, "-1"},        {-inf, chars_format::general, 3, "-inf"}};
  for (const auto& [value, format, precision, text] : cases)
    EXPECT_EQ(NumberText(value, format, precision), text) << value;
  EXPECT_EQ(NumberText(-0.0), "0");
  EXPECT_EQ(NumberText(-2.5), "-2.5");
  EXPECT_EQ(FormatSi(-0.0, "Ω"), "0 Ω");
}

TEST(NumberText, SignedTextMarksOnlyValuesThatShowAboveOrBelowZero) {
  const std::pair<double, const char*> cases[] = {
      {1.5, "+1.50"},   {-0.25, "-0.25"}, {0.0, "0.00"},     {-0.0, "0.00"},
      {-0.001, "0.00"}, {0.004, "0.00"},  {0.006, "+0.01"}, {-0.006, "-0.01"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(SignedNumberText(value, 2), text) << value;
}

}  // namespace
}  // namespace doz::analysis

// The batch statistics against figures worked out by hand.
#include "Result_stats.h"

#include <gtest/gtest.h>

#include <cmath>

#include "Store_case.h"

namespace doz::test {
namespace {

using namespace results;

TResultRow RowWith(TVerdict verdict, double l, std::optional<double> lower = 0.0,
                   std::optional<double> upper = 6.0) {
  TResultRow row = PartRow("S");
  row.Verdict = verdict;
  row.Values = {{"L", l, lower, upper}};
  return row;
}

TEST(BatchStats, CountsYieldAndSpreadOfEachValue) {
  std::vector<TResultRow> rows;
  for (const double l : {1.0, 2.0, 3.0, 4.0, 5.0}) rows.push_back(RowWith(TVerdict::Pass, l));
  rows.push_back(RowWith(TVerdict::Fail, 7.0, std::nullopt, 6.5));  // other limits: its own entry
  TResultRow failed = PartRow("E");
  failed.Verdict = TVerdict::MeasurementError;
  failed.Values.clear();
  rows.push_back(failed);

  const TBatchStats stats = BatchStats(rows);
  EXPECT_EQ(stats.Count, 7u);
  EXPECT_EQ(stats.Passed, 5u);
  EXPECT_DOUBLE_EQ(*stats.Yield, 5.0 / 7.0);
  ASSERT_EQ(stats.Values.size(), 2u);
  const TValueStats& l = stats.Values[0];
  EXPECT_EQ(l.Count, 5u);
  EXPECT_DOUBLE_EQ(l.Mean, 3.0);
  EXPECT_DOUBLE_EQ(l.StdDev, std::sqrt(2.5));
  EXPECT_EQ(l.Min, 1.0);
  EXPECT_EQ(l.Max, 5.0);
  EXPECT_DOUBLE_EQ(*l.Cpk, 3.0 / (3.0 * std::sqrt(2.5)));
  const TValueStats& single = stats.Values[1];
  EXPECT_EQ(single.Count, 1u);
  EXPECT_EQ(single.StdDev, 0.0);
  EXPECT_FALSE(single.Cpk);  // no spread to measure
  EXPECT_FALSE(BatchStats({}).Yield);
}

TEST(Cpk, TakesTheNearerLimitOrTheOnlyOne) {
  const std::optional<double> none;
  EXPECT_DOUBLE_EQ(*Cpk(2.0, 0.5, 0.0, 5.0), 2.0 / 1.5);  // the lower limit is nearer
  EXPECT_DOUBLE_EQ(*Cpk(2.0, 0.5, none, 5.0), 3.0 / 1.5);
  EXPECT_DOUBLE_EQ(*Cpk(2.0, 0.5, 1.0, none), 1.0 / 1.5);
  EXPECT_DOUBLE_EQ(*Cpk(7.0, 0.5, 0.0, 5.0), -2.0 / 1.5);  // centred outside: negative
  EXPECT_FALSE(Cpk(2.0, 0.5, none, none));
  EXPECT_FALSE(Cpk(2.0, 0.0, 0.0, 5.0));
}

}  // namespace
}  // namespace doz::test

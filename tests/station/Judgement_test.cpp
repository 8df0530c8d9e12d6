// A measurement judged against criteria: known circuits pass and fail where
// they should, each reason names the limit and by how much, only the
// sweep's band and the range count, and the values come with their limits.
#include "Judgement.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "Criteria_parser.h"
#include "Synthetic_sweep.h"
#include "Temp_dir.h"

namespace doz::station {
namespace {

using results::TVerdict;

constexpr const char* kGood = "coil:R=6800,L=2.5,C=400p";

TCalcData Coil(const char* circuit, std::uint64_t seed = 2) {
  return test::SyntheticSweep(test::Circuit(circuit), 7, {0.003, 0.2, seed});
}

class Judging : public ::testing::Test {
 protected:
  Judging() {
    EXPECT_TRUE(test::WriteSyntheticFile(dir.File("golden.DTA"), test::Circuit(kGood), 7));
  }
  TCriteria Criteria(const std::string& text) {
    TCriteriaParse parsed = ParseCriteria(text, dir.Path());
    if (auto* e = std::get_if<TCriteriaError>(&parsed)) ADD_FAILURE() << CriteriaErrorText(*e);
    return std::get<TCriteria>(std::move(parsed));
  }
  static std::string Reasons(const TJudgement& j) {
    std::string all;
    for (const std::string& r : ReasonTexts(j)) all += r + "\n";
    return all;
  }

  test::TTempDir dir;
  const std::string full =
      "name: coil-A\ngolden: golden.DTA\ntolerance: 5\nphase-tolerance: 3\nmodel: coil\n"
      "limit: L=2.4..2.6\nlimit: C=350p..450p\nresonance: peak 4.5k..5.5k\n";
};

TEST_F(Judging, AGoodPartPassesWithEveryValueAndItsLimits) {
  const TJudgement j = Judge(Criteria(full), Coil(kGood), 7);
  EXPECT_EQ(j.Verdict, TVerdict::Pass) << Reasons(j);
  EXPECT_TRUE(ReasonTexts(j).empty());
  ASSERT_EQ(j.Findings.size(), 5u);
  std::vector<std::string> names;
  for (const results::TFittedValue& v : j.Values) names.push_back(v.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Z_dev", "phase_dev", "R", "L", "C", "f_peak"}));
  const auto& l = j.Values[3];
  EXPECT_NEAR(l.Value, 2.5, 0.02);
  EXPECT_EQ(l.Lower, 2.4);
  EXPECT_EQ(l.Upper, 2.6);
  EXPECT_FALSE(j.Values[2].Lower) << "R has no limit";
  EXPECT_EQ(j.Values[0].Upper, 5.0);
  EXPECT_NEAR(j.Values[5].Value, 5033, 60) << "1/(2π√(LC))";
}

struct TBadPart {
  const char* circuit;
  std::vector<std::string> reasons;  // the start of each reason, in order
};

TEST_F(Judging, APartOutsideFailsNamingEachLimitAndByHowMuch) {
  const TBadPart cases[] = {
      {"coil:R=6800,L=2.7,C=400p",
       {"|Z| outside ±5.00 % of the golden at ", "L = 2.70 H: above the maximum 2.60 H by ",
        "peak at 4.84 kHz within"}},
      {"coil:R=6800,L=2.5,C=300p",
       {"|Z| outside", "phase outside ±3.00° of the golden",
        "C = 300 pF: below the minimum 350 pF by ", "peak at 5.8"}},
  };
  for (const TBadPart& c : cases) {
    const TJudgement j = Judge(Criteria(full), Coil(c.circuit), 7);
    EXPECT_EQ(j.Verdict, TVerdict::Fail);
    const std::vector<std::string> reasons = ReasonTexts(j);
    std::size_t next = 0;
    for (const std::string& want : c.reasons) {
      if (want.find("within") != std::string::npos) continue;  // a check that passed is no reason
      const auto found = std::find_if(reasons.begin() + next, reasons.end(),
                                      [&](const std::string& r) { return r.rfind(want, 0) == 0; });
      ASSERT_NE(found, reasons.end()) << c.circuit << ": " << want << "\n" << Reasons(j);
      next = std::size_t(found - reasons.begin()) + 1;
    }
  }
}

// A window's set keeps earlier sweeps in other slots; the range keeps the
// comparison where the criteria say.
TEST_F(Judging, OnlyTheBandAndTheRangeAreCompared) {
  TCalcData part = Coil(kGood);
  for (int slot = 0; slot < BandFirstIndex(7); ++slot)
    part.R[slot] = 1e6, part.Freq[slot] = 10 + slot;
  EXPECT_EQ(Judge(Criteria("name: g\ngolden: golden.DTA\n"), part, 7).Verdict, TVerdict::Pass);
  for (int slot = BandFirstIndex(7); slot <= BandLastIndex(7); ++slot)
    if (part.Freq[slot] > 5000) part.R[slot] *= 1.2;
  const TJudgement whole = Judge(Criteria("name: g\ngolden: golden.DTA\n"), part, 7);
  EXPECT_EQ(whole.Verdict, TVerdict::Fail);
  EXPECT_GT(whole.Findings[0].Hertz, 5000);
  EXPECT_NEAR(whole.Findings[0].Value, 20, 2);
  EXPECT_EQ(Judge(Criteria("name: g\ngolden: golden.DTA\nrange: 1k..4.9k\n"), part, 7).Verdict,
            TVerdict::Pass);
  TCalcData empty;
  ClearCalcData(empty);
  const TJudgement none = Judge(Criteria("name: g\ngolden: golden.DTA\n"), empty, 7);
  EXPECT_EQ(FindingText(none.Findings.at(0)),
            "the measurement holds no point where the golden does");
}

TEST_F(Judging, AModelThatDoesNotFitOrResonancesThatAreMissingFail) {
  const TJudgement poor = Judge(Criteria("name: p\nmodel: rl\nlimit: L=1..3\n"), Coil(kGood), 7);
  EXPECT_EQ(poor.Verdict, TVerdict::Fail);
  EXPECT_EQ(poor.Findings.at(0).Kind, TFindingKind::PoorFit);
  EXPECT_EQ(Reasons(poor).rfind("the model R-L does not fit the points: error ", 0), 0u)
      << Reasons(poor);
  EXPECT_TRUE(poor.Values.empty()) << "no values of a fit that misses the points";

  const TJudgement dip =
      Judge(Criteria("name: d\nresonance: dip 1k..10k\nresonance: peak ..4k\n"), Coil(kGood), 7);
  EXPECT_EQ(Reasons(dip),
            "no dip resonance (wanted 1.00 kHz .. 10.0 kHz)\n"
            "peak at " +
                ValueText(dip.Values.at(0).Value, "Hz") + ": above the maximum 4.00 kHz by " +
                ValueText(dip.Values.at(0).Value - 4000, "Hz") + "\n");

  std::stop_source stop;
  stop.request_stop();
  EXPECT_TRUE(Judge(Criteria(full), Coil(kGood), 7, stop.get_token()).Stopped);
}

TEST(ValueUnits, FollowTheNames) {
  for (const auto& [name, unit] : {std::pair{"Z_dev", "%"},
                                   {"phase_dev", "°"},
                                   {"fs", "Hz"},
                                   {"f_peak_2", "Hz"},
                                   {"Qts", ""},
                                   {"Re", "Ω"},
                                   {"Lces", "H"},
                                   {"C0", "F"}})
    EXPECT_STREQ(ValueUnit(name), unit) << name;
  EXPECT_EQ(ValueText(0.452, ""), "0.452");
  EXPECT_EQ(ValueText(-1.5, "%"), "-1.50 %");
  EXPECT_EQ(ValueText(0.05, "H"), "50.0 mH");
}

}  // namespace
}  // namespace doz::station

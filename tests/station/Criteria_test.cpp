// The criteria file: every key read as the issue writes it, comments and
// line ends as people leave them, and every malformed file refused with
// the line at fault.
#include <gtest/gtest.h>

#include <filesystem>

#include "Criteria_parser.h"
#include "Synthetic_sweep.h"
#include "Temp_dir.h"

namespace doz::station {
namespace {

using test::TTempDir;

constexpr const char* kCoil = "coil:R=6800,L=2.5,C=400p";

class CriteriaFile : public ::testing::Test {
 protected:
  CriteriaFile() {
    EXPECT_TRUE(test::WriteSyntheticFile(dir.File("golden.DTA"), test::Circuit(kCoil), 7));
  }
  TCriteriaParse Parse(const std::string& text) { return ParseCriteria(text, dir.Path()); }

  TTempDir dir;
};

TEST_F(CriteriaFile, ReadsEveryKeyWithPrefixesCommentsAndRelativePaths) {
  const std::string text =
      "\xEF\xBB\xBF# coil A, batch 7\r\n"
      "name: coil-A\r\n"
      "golden: golden.DTA   # the reference winding\r\n"
      "tolerance: 5\r\n"
      "\r\n"
      "phase-tolerance: 3\n"
      "range: 100..20k\n"
      "limit: L=2.4..2.6\n"
      "model: coil\n"
      "limit: C=350p..\n"
      "resonance: peak 4.5k..5.5k\n"
      "resonance: peak ..1M\n"
      "resonance: dip 1..2\n";
  const TCriteriaParse parsed = Parse(text);
  ASSERT_TRUE(std::holds_alternative<TCriteria>(parsed))
      << CriteriaErrorText(std::get<TCriteriaError>(parsed));
  const TCriteria& c = std::get<TCriteria>(parsed);
  EXPECT_EQ(c.Name, "coil-A");
  ASSERT_TRUE(c.Golden);
  EXPECT_EQ(c.Golden->Path, dir.File("golden.DTA"));
  EXPECT_EQ(c.Golden->Band, 7);
  EXPECT_EQ(c.Band, 7) << "the golden's band";
  EXPECT_EQ(c.Tolerance.Percent, 5);
  EXPECT_EQ(c.Tolerance.Degrees, 3);
  EXPECT_EQ(c.Range->Lower, 100);
  EXPECT_EQ(c.Range->Upper, 20000);
  ASSERT_TRUE(c.Model);
  EXPECT_EQ(c.Model->Text(), "p(R-L,C)");
  ASSERT_EQ(c.Limits.size(), 2u);
  EXPECT_EQ(c.Limits[0].Name, "L");
  EXPECT_STREQ(c.Limits[0].Unit, "H");
  EXPECT_EQ(c.Limits[0].Line, 8);
  EXPECT_DOUBLE_EQ(*c.Limits[1].Bounds.Lower, 350e-12);
  EXPECT_FALSE(c.Limits[1].Bounds.Upper);
  ASSERT_EQ(c.Resonances.size(), 3u);
  EXPECT_EQ(c.Resonances[0].ValueName, "f_peak");
  EXPECT_EQ(c.Resonances[1].ValueName, "f_peak_2");
  EXPECT_EQ(c.Resonances[2].ValueName, "f_dip");
  EXPECT_EQ(c.Resonances[2].Kind, analysis::TResonanceKind::Dip);
}

TEST_F(CriteriaFile, TakesTheBandAndTheFiguresOfALoudspeaker) {
  const TCriteriaParse parsed =
      Parse("name: woofer\nmodel: speaker\nlimit: fs=38..42\nlimit: Qts=0.40..0.48\nband: 5\n");
  ASSERT_TRUE(std::holds_alternative<TCriteria>(parsed));
  const TCriteria& c = std::get<TCriteria>(parsed);
  EXPECT_EQ(c.Band, 5);
  EXPECT_STREQ(c.Limits[0].Unit, "Hz");
  EXPECT_STREQ(c.Limits[1].Unit, "");
  const TCriteriaParse plain = Parse("name: r\nresonance: dip 1k..2k\n");
  EXPECT_EQ(std::get<TCriteria>(plain).Band, 1) << "no golden, no band: band 1";
  EXPECT_EQ(std::get<TCriteria>(Parse("name: n\ngolden: golden.DTA\nband: 1\n")).Band, 1);
}

struct TBadFile {
  const char* text;
  TCriteriaFault fault;
  int line;
};

TEST_F(CriteriaFile, RefusesEveryMalformedFileNamingItsLine) {
  test::WriteBytes(dir.File("bad.DTA"), "DataFile:Do-Z\r\nSN:1\r\n");
  const TBadFile cases[] = {
      {"name: x\nfoo: 1\n", TCriteriaFault::UnknownKey, 2},
      {"name: x\n# note\nname: y\n", TCriteriaFault::Repeated, 3},
      {"name: x\nlimit L=1..2\n", TCriteriaFault::NotKeyValue, 2},
      {"name: x\n: 5\n", TCriteriaFault::NotKeyValue, 2},
      {"name: x\nname:\n", TCriteriaFault::EmptyValue, 2},
      {"name: x\nmodel: coil\nlimit: L=2.6..2.4\n", TCriteriaFault::MinAboveMax, 3},
      {"name: x\nmodel: coil\nlimit: L=..\n", TCriteriaFault::BadBounds, 3},
      {"name: x\nmodel: coil\nlimit: L 2..3\n", TCriteriaFault::BadBounds, 3},
      {"name: x\nmodel: coill\nlimit: L=1..2\n", TCriteriaFault::UnknownModel, 2},
      {"name: x\nmodel: p(R1,\n", TCriteriaFault::UnknownModel, 2},
      {"name: x\nlimit: L=1..2\n", TCriteriaFault::NeedsModel, 2},
      {"name: x\nmodel: coil\nlimit: fs=1..2\n", TCriteriaFault::UnknownValue, 3},
      {"name: x\nmodel: coil\nlimit: L=1..2\nlimit: L=1..3\n", TCriteriaFault::RepeatedLimit, 4},
      {"name: x\nresonance: top 1k..2k\n", TCriteriaFault::BadResonanceKind, 2},
      {"name: x\nresonance: peak 1k\n", TCriteriaFault::BadBounds, 2},
      {"name: x\ngolden: golden.DTA\ntolerance: -1\n", TCriteriaFault::BadNumber, 3},
      {"name: x\ngolden: golden.DTA\nphase-tolerance: 3x\n", TCriteriaFault::BadNumber, 3},
      {"name: x\nband: 11\nresonance: peak 1..2\n", TCriteriaFault::BadBand, 2},
      {"name: x\nband: 2.5\nresonance: peak 1..2\n", TCriteriaFault::BadBand, 2},
      {"name: x\nresonance: peak 1..2\nrange: 1..2\n", TCriteriaFault::NeedsGolden, 3},
      {"name: x\ngolden: missing.DTA\n", TCriteriaFault::GoldenUnreadable, 2},
      {"name: x\ngolden: bad.DTA\n", TCriteriaFault::GoldenInvalid, 2},
      {"name: x\ngolden: golden.DTA\nrange: 50k..60k\n", TCriteriaFault::NoCommonPoint, 0},
      {"name: x\ngolden: golden.DTA\nband: 10\n", TCriteriaFault::NoCommonPoint, 0},
      {"model: coil\nlimit: L=1..2\n", TCriteriaFault::NoName, 0},
      {"name: x\nmodel: coil\n", TCriteriaFault::NoCriterion, 0},
      {"name: x\nresonance: peak 1..2\n# caf\xE9\n", TCriteriaFault::NotUtf8, 3},
  };
  for (const TBadFile& c : cases) {
    const TCriteriaParse parsed = Parse(c.text);
    ASSERT_TRUE(std::holds_alternative<TCriteriaError>(parsed)) << c.text;
    const TCriteriaError& e = std::get<TCriteriaError>(parsed);
    EXPECT_EQ(e.Fault, c.fault) << c.text << CriteriaErrorText(e);
    EXPECT_EQ(e.Line, c.line) << c.text;
    if (c.line > 0) {
      EXPECT_EQ(CriteriaErrorText(e).rfind("line " + std::to_string(c.line) + ": ", 0), 0u);
    }
  }
}

TEST_F(CriteriaFile, LoadsFromItsFolderAndTellsAFileItCannotRead) {
  std::filesystem::create_directory(dir.File("batch"));
  std::filesystem::copy_file(dir.File("golden.DTA"), dir.File("batch/golden.DTA"));
  test::WriteBytes(dir.File("batch/a.dozcheck"), "name: a\ngolden: golden.DTA\n");
  const TCriteriaParse loaded = LoadCriteria(dir.File("batch/a.dozcheck"));
  ASSERT_TRUE(std::holds_alternative<TCriteria>(loaded));
  EXPECT_EQ(std::get<TCriteria>(loaded).Golden->Path, dir.File("batch/golden.DTA"));
  EXPECT_EQ(std::get<TCriteria>(loaded).File, dir.File("batch/a.dozcheck"));
  for (const auto& [path, problem] :
       {std::pair{dir.File("none.dozcheck"), platform::TFileProblem::Missing},
        std::pair{dir.File("batch"), platform::TFileProblem::Folder}}) {
    const TCriteriaParse failed = LoadCriteria(path);
    ASSERT_TRUE(std::holds_alternative<TCriteriaError>(failed));
    EXPECT_EQ(std::get<TCriteriaError>(failed).Fault, TCriteriaFault::CannotRead);
    EXPECT_EQ(std::get<TCriteriaError>(failed).Failure.problem, problem);
  }
  test::WriteBytes(dir.File("big.dozcheck"), "name: a\n" + std::string(kMaxCriteriaBytes, '#'));
  EXPECT_EQ(std::get<TCriteriaError>(LoadCriteria(dir.File("big.dozcheck"))).Fault,
            TCriteriaFault::TooLarge);
}

TEST(CriteriaBounds, ReadsOpenAndClosedPairsAndRefusesTheRest) {
  const std::tuple<const char*, std::optional<double>, std::optional<double>> good[] = {
      {"2.4..2.6", 2.4, 2.6},       {" 1k .. 2k ", 1000.0, 2000.0},
      {"..2.6", std::nullopt, 2.6}, {"350p..", 350e-12, std::nullopt},
      {"1..1", 1.0, 1.0},           {"-3..-1", -3.0, -1.0}};
  for (const auto& [text, lower, upper] : good) {
    const auto parsed = ParseBounds(text);
    ASSERT_TRUE(std::holds_alternative<TBounds>(parsed)) << text;
    EXPECT_EQ(std::get<TBounds>(parsed).Lower, lower) << text;
    EXPECT_EQ(std::get<TBounds>(parsed).Upper, upper) << text;
  }
  for (const char* text : {"..", "1-2", "a..2", "1..2x", ""})
    EXPECT_EQ(std::get<TCriteriaFault>(ParseBounds(text)), TCriteriaFault::BadBounds) << text;
  EXPECT_EQ(std::get<TCriteriaFault>(ParseBounds("2..1")), TCriteriaFault::MinAboveMax);
  const TBounds b{2.4, 2.6};
  EXPECT_TRUE(b.Holds(2.4));
  EXPECT_TRUE(b.Holds(2.6));
  EXPECT_FALSE(b.Holds(std::nan("")));
  EXPECT_NEAR(b.Excess(2.7), 0.1, 1e-12);
  EXPECT_NEAR(b.Excess(2.3), -0.1, 1e-12);
}

}  // namespace
}  // namespace doz::station

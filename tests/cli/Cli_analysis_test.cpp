// doz-cli analyze, compare and the exchange formats of export, on files of
// known circuits; and the whole road: the simulated unit measuring a
// circuit, doz-cli measure, doz-cli analyze.
#include <gtest/gtest.h>

#include <regex>

#include "Cli_export.h"
#include "Cli_run.h"
#include "Doz_file.h"
#include "Synthetic_sweep.h"
#include "Temp_dir.h"
#include "Unitsim_process.h"

namespace doz::cli {
namespace {

using test::Contains;
using test::TTempDir;
using TRun = test::TCliRun;

TRun Cli(const std::vector<std::string>& args) { return test::RunCliHere(args); }

analysis::TCircuit Circuit(const char* text) {
  std::string error;
  return analysis::TCircuit::Parse(text, error).value();
}

// The number after "key": in a JSON text; NaN when it is not there.
double JsonValue(const std::string& json, const std::string& key) {
  std::smatch m;
  if (!std::regex_search(json, m, std::regex("\"" + key + "\": ([-+0-9.eE]+)")))
    return std::nan("");
  return std::stod(m[1]);
}

class CliAnalysis : public ::testing::Test {
 protected:
  std::string Measurement(const char* name, const char* circuit, int band = 1) {
    const std::string path = dir.File(name);
    EXPECT_TRUE(test::WriteSyntheticFile(path, Circuit(circuit), band));
    return path;
  }
  TTempDir dir;
};

TEST_F(CliAnalysis, AnalyzeFitsTheCircuitAndFindsItsResonance) {
  const std::string coil = Measurement("coil.DTA", "coil:R=6800,L=2.5,C=400p");
  const TRun json = Cli({"analyze", coil, "--json"});
  ASSERT_EQ(json.code, 0) << json.err;
  EXPECT_EQ(json.out.rfind("{\"file\": \"" + coil +
                               "\", \"model\": \"coil\", \"circuit\": \"p(R-L,C)\", \"parameters\": {\"R\": ",
                           0),
            0u)
      << json.out;
  EXPECT_NEAR(JsonValue(json.out, "R"), 6800, 68);
  EXPECT_NEAR(JsonValue(json.out, "L"), 2.5, 0.025);
  EXPECT_NEAR(JsonValue(json.out, "C"), 400e-12, 4e-12);
  EXPECT_LT(JsonValue(json.out, "error"), 0.01);
  for (const char* part : {"\"uncertainty\": {\"R\": ", "\"fits_well\": true", "\"warnings\": []",
                           "\"resonances\": [{\"kind\": \"peak\", \"frequency\": 50",
                           "\"extremum_frequency\": 50", "\"source\": \"model\""}) {
    EXPECT_TRUE(Contains(json.out, part)) << part << "\n" << json.out;
  }
  EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '\n'), 1);

  const TRun table = Cli({"analyze", coil});
  ASSERT_EQ(table.code, 0) << table.err;
  for (const char* part :
       {"Circuit:     coil  (R + L) ∥ C\n", "  R          6.8", " kΩ ± ", "  L          2.", " pF ± ",
        "Resonances: (from the model)\n  peak     5.01 kHz", "Fits tried:\n", "coil          "}) {
    EXPECT_TRUE(Contains(table.out, part)) << part << "\n" << table.out;
  }
  const TRun own = Cli({"analyze", coil, "--model", "p(R1-L1,C1)", "--start", "L1=2"});
  ASSERT_EQ(own.code, 0) << own.err;
  EXPECT_TRUE(Contains(own.out, "Circuit:     p(R1-L1,C1)\n")) << own.out;
  EXPECT_FALSE(Contains(own.out, "Fits tried"));
}

TEST_F(CliAnalysis, AnalyzeSaysWhenNoPresetFitsWell) {
  const std::string tanks = Measurement(
      "tanks.DTA", "p(R1,L1,C1)-p(R2,L2,C2):R1=5k,L1=0.5,C1=1u,R2=5k,L2=5m,C2=10n");
  const TRun table = Cli({"analyze", tanks});
  ASSERT_EQ(table.code, 0) << table.err;
  EXPECT_EQ(table.out.rfind("No preset fits well. The closest:\nCircuit:", 0), 0u) << table.out;
  EXPECT_TRUE(Contains(table.out, "poor-fit: no preset fits well; the closest, ")) << table.out;
  const TRun own = Cli({"analyze", tanks, "--model", "p(R1,L1,C1)-p(R2,L2,C2)", "--json"});
  EXPECT_TRUE(Contains(own.out, "\"fits_well\": true")) << own.out;
}

TEST_F(CliAnalysis, AnalyzeTakesManyFilesAsJsonLines) {
  const std::string a = Measurement("a.DTA", "rc:R=2k,C=100n");
  const std::string b = Measurement("b.DTA", "rl:R=1k,L=100m");
  const TRun r = Cli({"analyze", a, dir.File("missing.DTA"), b, "--json"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out.find("{\"file\": \"" + a + "\", \"model\": \"rc\""), 0u) << r.out;
  EXPECT_NE(r.out.find("\n{\"file\": \"" + b + "\", \"model\": \"rl\""), std::string::npos) << r.out;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2);
  EXPECT_TRUE(Contains(r.err, "missing.DTA")) << r.err;
}

TEST_F(CliAnalysis, SpeakerGivesThieleSmallAndWithASecondSweepTheMechanics) {
  // Bl 7 T·m, Mms 20 g, Cms 1 mm/N, Rms 1 kg/s: fs 35.6 Hz; Sd 130 cm² makes Vas 23.9 L.
  const std::string free = Measurement("free.DTA", "speaker:Re=6.2,Le=0.5m,Res=49,Lces=49m,Cmes=408.2u");
  const std::string loaded = Measurement("loaded.DTA", "speaker:Re=6.2,Le=0.5m,Res=49,Lces=49m,Cmes=612.2u");
  const std::string boxed = Measurement("boxed.DTA", "speaker:Re=6.2,Le=0.5m,Res=49,Lces=14.43m,Cmes=408.2u");
  const TRun mass = Cli({"speaker", free, "--added-mass", "10", loaded, "--sd", "130", "--json"});
  ASSERT_EQ(mass.code, 0) << mass.err;
  const std::pair<const char*, double> expected[] = {{"fs", 35.59}, {"Re", 6.2},    {"Mms", 0.02},
                                                     {"Cms", 1e-3}, {"Bl", 7.0},    {"Vas", 0.02394},
                                                     {"Qms", 4.48}, {"Qes", 0.567}};
  for (const auto& [key, value] : expected)
    EXPECT_NEAR(JsonValue(mass.out, key), value, 0.05 * value) << key << "\n" << mass.out;
  EXPECT_TRUE(Contains(mass.out, "\"warnings\": []")) << mass.out;
  const TRun box = Cli({"speaker", free, "--box-volume", "10", boxed, "--json"});
  ASSERT_EQ(box.code, 0) << box.err;
  EXPECT_NEAR(JsonValue(box.out, "Vas"), 0.02394, 0.05 * 0.02394) << box.out;
  EXPECT_FALSE(Contains(box.out, "\"Mms\""));  // needs Sd
  const TRun table = Cli({"speaker", free});
  EXPECT_TRUE(Contains(table.out, "fs    35.")) << table.out;

  const std::pair<std::vector<std::string>, const char*> bad[] = {
      {{"speaker", free, "--added-mass", "0", loaded}, "above 0"},
      {{"speaker", free, "--box-volume", "-2", boxed}, "above 0"},
      {{"speaker", free, "--added-mass", "10", boxed}, "not lower"},
      {{"speaker", free, "--box-volume", "10", loaded}, "not higher"},
      {{"speaker", free, "--added-mass", "10"}, "missing"},
      {{"analyze", free, "--model", "p(R1,L1"}, "position 8"},
      {{"analyze", free, "--model", "R1-R1"}, "appears twice"},
      {{"analyze", free, "--model", "R1-Q1"}, "unknown element 'Q1'"},
      {{"analyze", free, "--start", "R=1"}, "--start needs --model"},
      {{"analyze", free, "--model", "rl", "--start", "C=1"}, "'C=1' is not a parameter"},
  };
  for (const auto& [args, reason] : bad) {
    const TRun r = Cli(args);
    EXPECT_EQ(r.code, 2) << testing::PrintToString(args);
    EXPECT_TRUE(Contains(r.err, reason)) << r.err;
  }
}

TEST_F(CliAnalysis, AnalyzeRefusesWhatItCannotDo) {
  TRawData stopped;  // a sweep stopped before its first point
  ClearRawData(stopped);
  const TSettingData setting;
  ASSERT_TRUE(TDoZ_File().WriteDataFile(dir.File("empty.DTA"), "", &setting, &stopped));
  const std::pair<std::vector<std::string>, int> cases[] = {
      {{"analyze", dir.File("empty.DTA")}, 1},
      {{"analyze", dir.File("missing.DTA")}, 1},
      {{"analyze", dir.File("empty.DTA"), "--model", "tank"}, 2},
      {{"analyze"}, 2},
      {{"compare", dir.File("empty.DTA")}, 2},
      {{"compare", dir.File("a"), dir.File("b"), "--tolerance", "-1"}, 2},
      {{"compare", dir.File("a"), dir.File("b"), "--phase-tolerance", "5x"}, 2},
      {{"export", dir.File("empty.DTA"), "--format", "xls"}, 2},
  };
  for (const auto& [args, code] : cases) {
    const TRun r = Cli(args);
    EXPECT_EQ(r.code, code) << testing::PrintToString(args) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  EXPECT_TRUE(Contains(Cli({"analyze", dir.File("empty.DTA")}).err, "no point holds a value"));
}

TEST_F(CliAnalysis, CompareExitsWithWhatItFound) {
  const std::string a = Measurement("a.DTA", "coil:R=6800,L=2.5,C=400p");
  const std::string b = Measurement("b.DTA", "coil:R=6800,L=2.5,C=440p");  // resonance 5 % lower
  const std::string high = Measurement("high.DTA", "coil:R=6800,L=2.5,C=400p", 4);
  const std::string low = Measurement("low.DTA", "coil:R=6800,L=2.5,C=400p", 10);

  const TRun same = Cli({"compare", a, a});
  EXPECT_EQ(same.code, 0) << same.err;
  EXPECT_TRUE(
      Contains(same.out, "Points compared:  556\nPoints outside:   0 (tolerance 5 %, 5°)\n"))
      << same.out;

  const TRun several = Cli({"compare", a, b, a, "--json"});
  EXPECT_EQ(several.code, 1);
  EXPECT_EQ(several.out.find("{\"file\": \"" + a + "\", \"compared\": 556, \"outside\": 0,"), 0u)
      << several.out;
  EXPECT_EQ(std::count(several.out.begin(), several.out.end(), '\n'), 2);

  const TRun differ = Cli({"compare", b, a, "--json"});
  EXPECT_EQ(differ.code, 1) << differ.err;
  EXPECT_GT(JsonValue(differ.out, "outside"), 0);
  EXPECT_GT(JsonValue(differ.out, "deviation_percent"), 5);
  EXPECT_GT(JsonValue(differ.out, "frequency"), 4000);  // the worst lies at the resonance
  EXPECT_LT(JsonValue(differ.out, "frequency"), 6000);

  EXPECT_EQ(Cli({"compare", b, a, "--tolerance", "1000", "--phase-tolerance", "180"}).code, 0);
  const TRun apart = Cli({"compare", high, low});
  EXPECT_EQ(apart.code, 2);
  EXPECT_TRUE(Contains(apart.err, "share no frequency point")) << apart.err;
}

TEST_F(CliAnalysis, ExportWritesEachFormatUnderItsExtension) {
  const std::string m = Measurement("m.2024.DTA", "rc:R=2k,C=100n", 10);
  const std::pair<const char*, const char*> formats[] = {
      {"csv", "frequency_Hz,impedance_ohm,phase_deg,Rs_ohm,Xs_ohm,Ls_H,Cs_F,Q\n"},
      {"zma", "* Do-Z impedance measurement\n"},
      {"touchstone", "! Do-Z impedance measurement\n"},
  };
  for (const auto& [format, head] : formats) {
    const TRun r = Cli({"export", m, "--format", format});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string path = r.out.substr(0, r.out.size() - 1);
    EXPECT_EQ(path, DefaultExportName(m, r.out.substr(r.out.rfind('.'), 4)));
    EXPECT_EQ(test::ReadBytes(path).rfind(head, 0), 0u) << format;
  }
  EXPECT_TRUE(test::FileExists(dir.File("m.csv")) && test::FileExists(dir.File("m.zma")) &&
              test::FileExists(dir.File("m.s1p")));
  ASSERT_EQ(Cli({"export", m, "--format", "tsv"}).code, 0);
  const std::string tsv = test::ReadBytes(dir.File("m.txt"));
  ASSERT_EQ(Cli({"export", m, "--force"}).code, 0);
  EXPECT_EQ(test::ReadBytes(dir.File("m.txt")), tsv);
  EXPECT_EQ(Cli({"export", m, "--format", "csv"}).code, 1);  // exists, no --force
}

TEST(CliAnalysisEndToEnd, TheSimulatedUnitMeasuresACircuitThatAnalyzeRecognises) {
  TTempDir dir;
  test::TUnitsimProcess unit({"--fast", "--seed", "3", "--circuit", "rlc:R=500,L=500m,C=100n"});
  ASSERT_TRUE(unit.Started());
  const std::string file = dir.File("rlc.DTA");
  const TRun measured = test::RunCliProgram(
      {"measure", "--port", unit.DevicePath(), "--band", "1", "-o", file}, dir.Path());
  ASSERT_EQ(measured.code, 0) << measured.err;
  const TRun r = Cli({"analyze", file, "--json", "--no-average"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Contains(r.out, "\"model\": \"rlc\"")) << r.out;
  EXPECT_NEAR(JsonValue(r.out, "R"), 500, 5);
  EXPECT_NEAR(JsonValue(r.out, "L"), 0.5, 0.005);
  EXPECT_NEAR(JsonValue(r.out, "C"), 100e-9, 1e-9);
  EXPECT_TRUE(Contains(r.out, "\"resonances\": [{\"kind\": \"dip\", \"frequency\": 71")) << r.out;
}

}  // namespace
}  // namespace doz::cli

namespace doz::cli {
namespace {

// The unit measures through simulated leads: their ends open, shorted, then
// holding a coil. Compensated, the coil's capacitance comes back without
// the leads' 50 pF.
TEST(CliCompensation, LeadsMeasuredOpenAndShortAreTakenOutOfACoil) {
  test::TTempDir dir;
  const auto sweep = [&](const std::string& circuit, const std::string& name, const char* band) {
    test::TUnitsimProcess unit({"--fast", "--circuit", circuit, "--leads", "R=0.5,L=1u,C=50p"});
    EXPECT_TRUE(unit.Started());
    const TRun r = test::RunCliProgram(
        {"measure", "--port", unit.DevicePath(), "--band", band, "-o", dir.File(name)}, dir.Path());
    EXPECT_EQ(r.code, 0) << r.err;
    return dir.File(name);
  };
  const std::string open = sweep("open", "open.DTA", "1"), shorted = sweep("short", "short.DTA", "1");
  const std::string coil = sweep("coil:R=6800,L=2.5,C=400p", "coil.DTA", "1");
  const std::string high = sweep("open", "high.DTA", "4");  // 10 kHz to 100 kHz only
  const auto fitted = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = {"analyze", coil, "--model", "coil", "--json"};
    args.insert(args.end(), extra.begin(), extra.end());
    const TRun r = Cli(args);
    EXPECT_EQ(r.code, 0) << r.err;
    return JsonValue(r.out, "C");
  };
  EXPECT_NEAR(fitted({}), 450e-12, 5e-12);  // the leads' capacitance added
  EXPECT_NEAR(fitted({"--open", open, "--short", shorted}), 400e-12, 8e-12);
  EXPECT_NEAR(fitted({"--open", open}), 400e-12, 8e-12);

  const TRun uncovered = Cli({"analyze", coil, "--open", high});
  EXPECT_EQ(uncovered.code, 1);
  EXPECT_TRUE(Contains(uncovered.err, "補正データ")) << uncovered.err;
  EXPECT_EQ(Cli({"export", coil, "--short", dir.File("none.DTA")}).code, 1);
  const TRun page = Cli({"plot", coil, "--open", open, "-o", dir.File("coil.png")});
  EXPECT_EQ(page.code, 0) << page.err;
}

}  // namespace
}  // namespace doz::cli

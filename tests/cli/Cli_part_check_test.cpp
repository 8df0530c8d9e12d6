// doz-cli inspect against the simulated unit on both stores: good parts and
// parts outside the limits, sweeps that fail, a store that is away, a power
// cut between the file and the store, and four stations at once.
#include "Cli_part_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <thread>

#include "Cli_args.h"
#include "Cli_measure.h"
#include "Cli_run.h"
#include "Postgres_server.h"
#include "Results_store.h"
#include "Sha256.h"
#include "Store_case.h"
#include "Store_outage.h"
#include "Unitsim_process.h"

namespace doz::cli {
namespace {

namespace fs = std::filesystem;
using namespace results;
using test::Contains;
using test::TCliRun;

constexpr const char* kGoodCoil = "coil:R=6800,L=2.5,C=400p";
constexpr const char* kCriteria =
    "name: coil-A\nmodel: coil\nlimit: L=2.4..2.6\nlimit: C=350p..450p\n"
    "resonance: peak 4.5k..5.5k\nband: 7\n";

std::unique_ptr<test::TUnitsimProcess> Unit(const std::string& circuit,
                                            std::vector<std::string> more = {}) {
  more.insert(more.end(), {"--fast", "--circuit", circuit});
  auto unit = std::make_unique<test::TUnitsimProcess>(more);
  EXPECT_TRUE(unit->Started());
  return unit;
}

class InspectTest : public ::testing::TestWithParam<TStoreKind> {
 protected:
  void SetUp() override {
    // doz-cli finds a server's queue where the test looks for it.
    setenv("XDG_STATE_HOME", dir_.File("state").c_str(), 1);
    std::string why;
    db_ = test::NewStore(GetParam(), dir_, why);
    if (db_.empty()) GTEST_SKIP() << why;
    test::WriteBytes(dir_.File("coil.dozcheck"), kCriteria);
    env_.appDir = dir_.Path();
  }
  void TearDown() override { unsetenv("XDG_STATE_HOME"); }

  TCliRun Inspect(const std::string& port, const std::string& serial,
                  std::vector<std::string> more = {}) {
    std::vector<std::string> args = {
        "--port", port, "--criteria", dir_.File("coil.dozcheck"), "--serial",  serial,
        "--db",   db_,  "--save-dir", dir_.File("batch"),         "--station", "st-1"};
    args.insert(args.end(), more.begin(), more.end());
    std::ostringstream out, err;
    const int code = RunInspectWith(args, out, err, env_);
    return {code, out.str(), err.str()};
  }
  std::vector<TResultRow> Rows(const std::optional<std::string>& serial = std::nullopt) {
    std::vector<TResultRow> rows;
    TRowFilter filter;
    filter.Serial = serial;
    TStoreOptions options;
    options.CreateFile = false;
    EXPECT_TRUE(TResultsStore(db_, options).Rows(filter, rows).Ok());
    return rows;
  }
  std::size_t Waiting() { return TResultsStore(db_).Waiting(); }

  test::TTempDir dir_;
  std::string db_;
  TMeasureEnv env_;
};

TEST_P(InspectTest, GoodPartsPassAndPartsOutsideTheLimitsFail) {
  const auto good = Unit(kGoodCoil);
  const auto bad = Unit("coil:R=6800,L=2.7,C=400p");
  const std::string hostile = "x'); drop table results; --";
  const TCliRun pass = Inspect(good->DevicePath(), hostile, {"--json"});
  ASSERT_EQ(pass.code, 0) << pass.err << pass.out;
  EXPECT_TRUE(
      Contains(pass.out, "\"verdict\": \"pass\", \"criteria\": \"coil-A\", \"station\": \"st-1\""));
  EXPECT_TRUE(Contains(pass.out, "{\"name\": \"L\", \"value\": 2.4")) << pass.out;
  EXPECT_TRUE(Contains(pass.out, "\"row\": \"stored\", \"waiting\": 0}")) << pass.out;
  const TCliRun fail = Inspect(bad->DevicePath(), "../../SN-2");
  EXPECT_EQ(fail.code, 1) << fail.err;
  EXPECT_TRUE(Contains(fail.out, "不合格 (fail)  ../../SN-2  coil-A\n")) << fail.out;
  EXPECT_TRUE(Contains(fail.out, "  FAIL  L = 2.70 H: above the maximum 2.60 H by ")) << fail.out;
  EXPECT_TRUE(Contains(fail.out, "  ok    C = 400 pF within 350 pF .. 450 pF\n")) << fail.out;

  const std::vector<TResultRow> rows = Rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].Serial, hostile);
  EXPECT_EQ(rows[0].Verdict, TVerdict::Pass);
  EXPECT_EQ(rows[1].Verdict, TVerdict::Fail);
  EXPECT_EQ(rows[1].Reasons.size(), 1u);
  EXPECT_EQ(rows[1].Station, "st-1");
  for (const TResultRow& row : rows) {
    const std::string path = dir_.File("batch/" + row.FileName);
    EXPECT_EQ(FileSha256(path), row.FileSha256) << path;
  }
  EXPECT_EQ(rows[1].FileName.rfind("______SN-2_", 0), 0u) << rows[1].FileName;
  EXPECT_FALSE(fs::exists(dir_.File("SN-2"))) << "nothing outside the batch folder";
}

TEST_P(InspectTest, SweepsThatFailAreRecordedAsMeasurementErrors) {
  const auto hangs = Unit(kGoodCoil, {"--fault", "hangup-after=20"});
  const std::pair<std::string, std::string> cases[] = {
      {dir_.File("no-such-port"), "通信ポートが開けません / "},
      {hangs->DevicePath(), "データ受信エラーです"},
  };
  for (const auto& [port, error] : cases) {
    const TCliRun r = Inspect(port, "E-1");
    EXPECT_EQ(r.code, EXIT_NOT_MEASURED) << r.err;
    EXPECT_TRUE(Contains(r.out, "測定エラー (error)  E-1  coil-A\n  " + error)) << r.out;
  }
  const std::vector<TResultRow> rows = Rows("E-1");
  ASSERT_EQ(rows.size(), 2u);
  for (const TResultRow& row : rows) {
    EXPECT_EQ(row.Verdict, TVerdict::MeasurementError);
    EXPECT_TRUE(row.FileName.empty());
  }
  EXPECT_FALSE(fs::exists(dir_.File("batch")) && !fs::is_empty(dir_.File("batch")))
      << "no file of a failed sweep";
}

TEST_P(InspectTest, AStoreThatIsAwayKeepsTheRowQueuedUntilResultsReadsIt) {
  const auto good = Unit(kGoodCoil);
  ASSERT_EQ(Inspect(good->DevicePath(), "Q-0").code, 0);
  {
    test::TOutage outage(GetParam(), db_);
    ASSERT_TRUE(outage.Began());
    const TCliRun r = Inspect(good->DevicePath(), "Q-1");
    EXPECT_EQ(r.code, 0) << "the part is judged all the same: " << r.err;
    EXPECT_TRUE(Contains(r.out, "Row:  queued (1 waiting): ")) << r.out;
    EXPECT_FALSE(Contains(r.out + r.err, test::TPostgresServer::kPassword));
  }
  EXPECT_TRUE(Rows("Q-1").empty());
  const TCliRun listed = test::RunCliHere({"results", "--db", db_, "--serial", "Q-1"});
  EXPECT_EQ(listed.code, 0) << listed.err;
  EXPECT_TRUE(Contains(listed.out, "  pass  Q-1  st-1  coil-A")) << listed.out;
  EXPECT_EQ(Rows("Q-1").size(), 1u);
}

// Through leads of 50 pF the coil's C reads 450 pF, beyond its limit; its
// leads' open sweep takes them out again, from the part and the golden.
TEST_P(InspectTest, ThePartIsJudgedCorrectedForItsLeads) {
  const auto open = Unit("open", {"--leads", "C=50p"});
  const auto leaded = Unit(kGoodCoil, {"--leads", "C=50p"});
  std::ostringstream out, err;
  ASSERT_EQ(
      RunMeasureWith({"--port", open->DevicePath(), "--band", "7", "-o", dir_.File("open.DTA")},
                     out, err, env_),
      0);
  ASSERT_EQ(
      RunMeasureWith({"--port", leaded->DevicePath(), "--band", "7", "-o", dir_.File("golden.DTA")},
                     out, err, env_),
      0);
  test::WriteBytes(dir_.File("coil.dozcheck"),
                   std::string(kCriteria) + "golden: golden.DTA\ntolerance: 2\n");
  const TCliRun raw = Inspect(leaded->DevicePath(), "C-1");
  EXPECT_EQ(raw.code, 1);
  EXPECT_TRUE(Contains(raw.out, "  FAIL  C = 45")) << raw.out;
  EXPECT_TRUE(Contains(raw.out, "  ok    |Z| within ±2.00 % of the golden")) << raw.out;
  const TCliRun corrected = Inspect(leaded->DevicePath(), "C-2", {"--open", dir_.File("open.DTA")});
  EXPECT_EQ(corrected.code, 0) << corrected.out << corrected.err;
  EXPECT_TRUE(Contains(corrected.out, "  ok    C = 40")) << corrected.out;
  ASSERT_EQ(
      RunMeasureWith({"--port", open->DevicePath(), "--band", "10", "-o", dir_.File("low.DTA")},
                     out, err, env_),
      0);
  const TCliRun uncovered = Inspect(leaded->DevicePath(), "C-3", {"--open", dir_.File("low.DTA")});
  EXPECT_EQ(uncovered.code, EXIT_USAGE) << "a band-10 sweep lacks band 7's points";
  EXPECT_EQ(Rows("C-3").size(), 0u);
}

// The process dies once the row is safe in the queue and before the store
// is tried: the file is whole, the row waits, and reaches the store once.
TEST_P(InspectTest, APowerCutAfterTheFileLeavesTheRowInTheQueue) {
  const auto good = Unit(kGoodCoil);
  ASSERT_EQ(Inspect(good->DevicePath(), "P-0").code, 0) << "the store exists";
  const TCliRun killed = test::RunCliProgram(
      {"inspect", "--port", good->DevicePath(), "--criteria", dir_.File("coil.dozcheck"),
       "--serial", "P-1", "--db", db_, "--save-dir", dir_.File("batch")},
      dir_.Path(), {},
      {std::string(kDieQueuedVariable) + "=1", "XDG_STATE_HOME=" + dir_.File("state")});
  EXPECT_EQ(killed.code, -1) << "killed, not exited";
  EXPECT_EQ(Waiting(), 1u);
  EXPECT_TRUE(Rows("P-1").empty());
  EXPECT_EQ(Rows().size(), 1u) << "the store holds what it held";
  ASSERT_EQ(test::RunCliHere({"results", "--db", db_}).code, 0);
  ASSERT_EQ(test::RunCliHere({"results", "--db", db_}).code, 0);
  const std::vector<TResultRow> rows = Rows("P-1");
  ASSERT_EQ(rows.size(), 1u) << "stored once";
  EXPECT_EQ(FileSha256(dir_.File("batch/" + rows[0].FileName)), rows[0].FileSha256);
}

TEST_P(InspectTest, FourStationsAtOnceLoseAndDoubleNoRow) {
  constexpr int kStations = 4, kParts = 25;
  test::WriteBytes(dir_.File("rl.dozcheck"), "name: rl\nmodel: rl\nlimit: L=2.3..2.7\nband: 10\n");
  std::vector<std::unique_ptr<test::TUnitsimProcess>> units;
  for (int s = 0; s < kStations; ++s)
    units.push_back(Unit(kGoodCoil, {"--seed", std::to_string(s + 1)}));
  std::vector<std::vector<int>> codes(kStations);
  std::vector<std::thread> stations;
  for (int s = 0; s < kStations; ++s) {
    fs::create_directories(dir_.File("out" + std::to_string(s)));
    stations.emplace_back([&, s] {
      for (int p = 0; p < kParts; ++p) {
        codes[s].push_back(test::WaitCli(test::SpawnCli(
            {"inspect", "--port", units[s]->DevicePath(), "--criteria", dir_.File("rl.dozcheck"),
             "--serial", "S" + std::to_string(s) + "-" + std::to_string(p), "--db", db_,
             "--save-dir", dir_.File("batch"), "--station", "st-" + std::to_string(s)},
            dir_.File("out" + std::to_string(s)), {}, {},
            {"XDG_STATE_HOME=" + dir_.File("state")})));
      }
    });
  }
  for (std::thread& t : stations) t.join();
  for (const auto& station : codes)
    for (const int code : station) EXPECT_EQ(code, 0);
  ASSERT_EQ(test::RunCliHere({"results", "--db", db_}).code, 0) << "nothing waits in the end";
  std::set<std::string> serials;
  for (const TResultRow& row : Rows()) EXPECT_TRUE(serials.insert(row.Serial).second) << row.Serial;
  EXPECT_EQ(serials.size(), std::size_t(kStations * kParts));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.File("batch")), fs::directory_iterator()),
            kStations * kParts);
}

INSTANTIATE_TEST_SUITE_P(BothBackEnds, InspectTest,
                         ::testing::Values(TStoreKind::SqliteFile, TStoreKind::Postgres),
                         [](const auto& info) { return test::KindName(info.param); });

struct TRefusal {
  std::vector<std::string> args;
  std::string says;
};

TEST(InspectArgs, UsageAndCriteriaErrorsMeasureNothing) {
  test::TTempDir dir;
  test::WriteBytes(dir.File("ok.dozcheck"), kCriteria);
  test::WriteBytes(dir.File("bad.dozcheck"), "name: x\nmodel: coil\nlimit: L=2.6..2.4\n");
  const std::string ok = dir.File("ok.dozcheck");
  const TRefusal cases[] = {
      {{"--criteria", ok, "--serial", "A"}, "missing --port"},
      {{"--port", "COM1", "--serial", "A"}, "missing --criteria"},
      {{"--port", "COM1", "--criteria", ok, "--serial", ""}, "--serial is empty"},
      {{"--port", "COM1", "--criteria", ok, "--serial", "A", "--db", ""}, "--db names no store"},
      {{"--port", "COM1", "--criteria", dir.File("bad.dozcheck"), "--serial", "A"},
       dir.File("bad.dozcheck") + ": line 3: '2.6..2.4': MIN is above MAX"},
      {{"--port", "COM1", "--criteria", dir.File("none"), "--serial", "A"},
       dir.File("none") + ": ファイルがありません"},
  };
  for (const TRefusal& c : cases) {
    std::vector<std::string> args = {"inspect", "--save-dir", dir.Path()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const TCliRun r = test::RunCliHere(args);
    EXPECT_EQ(r.code, EXIT_USAGE) << c.says;
    EXPECT_TRUE(Contains(r.err, "doz-cli inspect: " + c.says)) << r.err;
  }
  EXPECT_FALSE(fs::exists(dir.File("results.sqlite")));
}

}  // namespace
}  // namespace doz::cli

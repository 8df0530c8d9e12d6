// doz-cli results on both back ends: the rows queued in an outage listed once
// the store is back, the formats and the statistics, and the usage errors.
#include <gtest/gtest.h>

#include <cstdlib>

#include "Cli_run.h"
#include "Postgres_server.h"
#include "Results_store.h"
#include "Store_case.h"
#include "Store_outage.h"

namespace doz::test {
namespace {

using namespace results;

class CliResultsTest : public ::testing::TestWithParam<TStoreKind> {
 protected:
  void SetUp() override {
    // The station and doz-cli find a server's queue in the same state folder.
    setenv("XDG_STATE_HOME", folder_.Path().c_str(), 1);
    std::string why;
    location_ = NewStore(GetParam(), folder_, why);
    if (location_.empty()) GTEST_SKIP() << why;
  }
  void TearDown() override { unsetenv("XDG_STATE_HOME"); }
  TResultsStore Station() {
    TStoreOptions options;
    options.BusyTimeoutMs = 100;
    return TResultsStore(location_, options);
  }

  TTempDir folder_;
  std::string location_;
};

TEST_P(CliResultsTest, ListsTheRowsQueuedInAnOutageOnceTheStoreIsBack) {
  TResultsStore station = Station();
  ASSERT_TRUE(station.Open().Ok());
  TOutage outage(GetParam(), location_);
  ASSERT_TRUE(outage.Began());
  for (const char* serial : {"Q-1", "Q-2"}) {
    ASSERT_EQ(station.Write(PartRow(serial)).Outcome, TWriteOutcome::Queued);
  }
  const TCliRun down = RunCliHere({"results", "--db", location_});
  EXPECT_EQ(down.code, 1);
  EXPECT_TRUE(Contains(down.err, "2 row(s) still wait")) << down.err;
  EXPECT_FALSE(Contains(down.err, TPostgresServer::kPassword)) << down.err;
  outage.End();

  const TCliRun up = RunCliHere({"results", "--db", location_, "--json"});
  EXPECT_EQ(up.code, 0) << up.err;
  EXPECT_TRUE(Contains(up.out, "\"serial\": \"Q-1\"")) << up.out;
  EXPECT_TRUE(Contains(up.out, "\"serial\": \"Q-2\"")) << up.out;
  EXPECT_EQ(station.Waiting(), 0u);
}

TEST_P(CliResultsTest, PrintsRowsAndStatisticsInEachForm) {
  TResultsStore station = Station();
  TResultRow failed = PartRow("a,\"b\"", 1);
  failed.Verdict = TVerdict::Fail;
  failed.Values[0].Value = 2.7;
  failed.Reasons = {"L above 2.6"};
  for (const TResultRow& row : {PartRow("A-1", 0), failed, PartRow("A-3", 2)}) {
    ASSERT_EQ(station.Write(row).Outcome, TWriteOutcome::Written);
  }
  const TCliRun text =
      RunCliHere({"results", "--db", location_, "--since", "2025-01-01T00:00:01Z"});
  EXPECT_EQ(text.code, 0) << text.err;
  EXPECT_EQ(text.out,
            "2025-01-01T00:00:01.000Z  fail  a,\"b\"  line-1  coil-A  L=2.7 C=4.0001e-10"
            "  | L above 2.6\n"
            "2025-01-01T00:00:02.000Z  pass  A-3  line-1  coil-A  L=2.5 C=4.0001e-10\n");
  const TCliRun csv = RunCliHere({"results", "--db", location_, "--csv", "--serial", "a,\"b\""});
  EXPECT_TRUE(Contains(csv.out, "file_sha256,L,C\n")) << csv.out;
  EXPECT_TRUE(Contains(csv.out, ",\"a,\"\"b\"\"\",line-1,coil-A,fail,L above 2.6,,")) << csv.out;
  // L: 2.5, 2.7, 2.5 within 2.4..2.6; C: one-sided, above 3.5e-10, no spread.
  const TCliRun stats = RunCliHere({"results", "--db", location_, "--stats", "--json"});
  EXPECT_EQ(stats.code, 0) << stats.err;
  EXPECT_TRUE(Contains(stats.out, "{\"count\": 3, \"passed\": 2, \"yield\": 0.6666666666666666"))
      << stats.out;
  EXPECT_TRUE(Contains(stats.out, "\"name\": \"L\", \"lower\": 2.4, \"upper\": 2.6, \"count\": 3"))
      << stats.out;
  EXPECT_TRUE(Contains(stats.out,
                       "\"std_dev\": 0, \"min\": 4.0001e-10, \"max\": 4.0001e-10, "
                       "\"cpk\": null}"))
      << stats.out;
}

INSTANTIATE_TEST_SUITE_P(BothBackEnds, CliResultsTest,
                         ::testing::Values(TStoreKind::SqliteFile, TStoreKind::Postgres),
                         [](const auto& info) { return KindName(info.param); });

TEST(CliResults, RefusesWrongUsageAndAMissingFile) {
  TTempDir folder;
  const std::string missing = folder.File("typo.sqlite");
  for (const std::vector<std::string>& args : {std::vector<std::string>{"results"},
                                               {"results", "--db", missing, "--json", "--csv"},
                                               {"results", "--db", missing, "--csv", "--stats"},
                                               {"results", "--db", missing, "--since", "last week"},
                                               {"results", "--db", missing, "extra"}}) {
    EXPECT_EQ(RunCliHere(args).code, 2) << args.back();
  }
  const TCliRun absent = RunCliHere({"results", "--db", missing});
  EXPECT_EQ(absent.code, 1);
  EXPECT_TRUE(Contains(absent.err, "no results store there")) << absent.err;
  EXPECT_FALSE(FileExists(missing));
}

}  // namespace
}  // namespace doz::test

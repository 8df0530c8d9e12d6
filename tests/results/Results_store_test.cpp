// Both back ends through the same cases: what goes in comes out exactly,
// filters, a retried write, an injection-looking serial, concurrent writers,
// the migration of a version-1 store.
#include "Results_store.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <set>
#include <thread>

#include "Raw_store.h"
#include "Store_case.h"

namespace doz::test {
namespace {

using namespace results;

class StoreTest : public ::testing::TestWithParam<TStoreKind> {
 protected:
  void SetUp() override {
    std::string why;
    location_ = NewStore(GetParam(), folder_, why);
    if (location_.empty()) GTEST_SKIP() << why;
  }
  std::vector<TResultRow> StoredRows(const TRowFilter& filter = {}) {
    TResultsStore store(location_, TestOptions(folder_));
    std::vector<TResultRow> rows;
    const TStoreStatus status = store.Rows(filter, rows);
    EXPECT_TRUE(status.Ok()) << status.Message;
    return rows;
  }
  void WriteAll(const std::vector<TResultRow>& rows) {
    TResultsStore store(location_, TestOptions(folder_));
    for (const TResultRow& row : rows) {
      const TWriteResult r = store.Write(row);
      ASSERT_EQ(r.Outcome, TWriteOutcome::Written) << r.Status.Message;
    }
  }

  TTempDir folder_;
  std::string location_;
};

TEST_P(StoreTest, GivesBackEveryFieldExactlyAndFilters) {
  TResultRow failed = PartRow("A-2", 2);
  failed.Verdict = TVerdict::Fail;
  failed.Reasons = {"L = 2.7 H > 2.6 H (+0.1 H)", "共振 5.6 kHz\tout\nof 4.5k..5.5k \\"};
  failed.Values.push_back({"fs", 0.1 + 0.2, std::nullopt, 1e-300});
  TResultRow broken = PartRow("A-3", 3);
  broken.Verdict = TVerdict::MeasurementError;
  broken.ErrorText = "測定エラー: no reply";
  broken.Values.clear();
  broken.FileName.clear();
  broken.FileSha256.clear();
  const TResultRow injected = PartRow("x'); drop table results; --", 1);
  WriteAll({broken, failed, PartRow("A-1", 0), injected});

  const std::vector<TResultRow> rows = StoredRows();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].Serial, "A-1");
  EXPECT_EQ(rows[1], injected);
  EXPECT_EQ(rows[2], failed);
  EXPECT_EQ(rows[3], broken);
  EXPECT_EQ(StoredRows({std::nullopt, injected.Serial}), std::vector{injected});
  // The bound is inclusive, to the millisecond.
  const TUtcTime since = failed.MeasuredAt;
  EXPECT_EQ(StoredRows({since, std::nullopt}).size(), 2u);
  EXPECT_EQ(StoredRows({since + std::chrono::milliseconds(1), std::nullopt}).size(), 1u);
  EXPECT_EQ(StoredRows({since, "A-3"}), std::vector{broken});
}

TEST_P(StoreTest, StoresARowWrittenAgainOnce) {
  const TResultRow row = PartRow("B-1");
  WriteAll({row, row});
  WriteAll({row});
  EXPECT_EQ(StoredRows().size(), 1u);
}

TEST_P(StoreTest, RefusesARowThatCannotBeStoredWithoutQueueingIt) {
  TResultRow row = PartRow("");
  TResultsStore store(location_, TestOptions(folder_));
  const TWriteResult r = store.Write(row);
  EXPECT_EQ(r.Outcome, TWriteOutcome::Refused);
  EXPECT_EQ(r.Status.Error, TStoreError::InvalidRow);
  EXPECT_EQ(store.Waiting(), 0u);
}

// Each child writes its rows and exits 0 when the store took every one.
int WriteInChild(const std::string& location, TStoreOptions options, int writer, int count) {
  options.BusyTimeoutMs = 10000;
  TResultsStore store(location, options);
  for (int i = 0; i < count; ++i) {
    const auto r = store.Write(PartRow("W" + std::to_string(writer) + "-" + std::to_string(i), i));
    if (r.Outcome != TWriteOutcome::Written) {
      std::fprintf(stderr, "writer %d row %d: %s\n", writer, i, r.Status.Message.c_str());
      return 1;
    }
  }
  return 0;
}

TEST_P(StoreTest, ConcurrentWritersLoseAndDoubleNoRow) {
  constexpr int kWriters = 4, kRows = 25;
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    const pid_t pid = fork();
    if (pid == 0) {
      char start;
      close(go[1]);
      _exit(read(go[0], &start, 1) == 0 ? WriteInChild(location_, TestOptions(folder_), w, kRows)
                                        : 2);
    }
    children.push_back(pid);
  }
  close(go[0]);
  close(go[1]);  // every child starts at once
  for (const pid_t pid : children) {
    int status = -1;
    for (int waited = 0; waited < 600 && waitpid(pid, &status, WNOHANG) == 0; ++waited) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (status == -1 && kill(pid, SIGKILL) == 0) waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "writer status " << status;
  }
  const std::vector<TResultRow> rows = StoredRows();
  std::set<std::string> serials;
  for (const TResultRow& row : rows) serials.insert(row.Serial);
  EXPECT_EQ(rows.size(), std::size_t{kWriters * kRows});
  EXPECT_EQ(serials.size(), std::size_t{kWriters * kRows});
}

// The first layout, as the first program wrote it, with one row in it.
constexpr const char* kVersion1 =
    "CREATE TABLE schema_version (version INTEGER NOT NULL);"
    "INSERT INTO schema_version VALUES (1);"
    "CREATE TABLE results (id TEXT PRIMARY KEY, serial TEXT NOT NULL, measured_at TEXT NOT NULL,"
    " station TEXT NOT NULL, criteria TEXT NOT NULL, verdict TEXT NOT NULL CHECK (verdict IN"
    " ('pass', 'fail', 'error')), file_name TEXT NOT NULL, file_sha256 TEXT NOT NULL,"
    " error_text TEXT NOT NULL);"
    "CREATE TABLE result_reasons (result_id TEXT NOT NULL REFERENCES results (id),"
    " position INTEGER NOT NULL, reason TEXT NOT NULL, PRIMARY KEY (result_id, position));"
    "CREATE TABLE result_values (result_id TEXT NOT NULL REFERENCES results (id),"
    " position INTEGER NOT NULL, name TEXT NOT NULL, value DOUBLE PRECISION NOT NULL,"
    " lower_limit DOUBLE PRECISION, upper_limit DOUBLE PRECISION,"
    " PRIMARY KEY (result_id, position));"
    "INSERT INTO results VALUES ('old-1', 'S-1', '2024-06-01T10:00:00.000Z', 'line-0', 'coil-A',"
    " 'fail', 'S-1.DTA', '', '');"
    "INSERT INTO result_reasons VALUES ('old-1', 0, 'L too high');"
    "INSERT INTO result_values VALUES ('old-1', 0, 'L', 2.75, 2.4, 2.6);";

TEST_P(StoreTest, MigratesAVersion1StoreAndLeavesANewerOneAlone) {
  TRawStore raw(location_);
  ASSERT_TRUE(raw.Exec(kVersion1)) << raw.Error();
  TResultsStore store(location_, TestOptions(folder_));
  const TStoreStatus opened = store.Open();
  ASSERT_TRUE(opened.Ok()) << opened.Message;
  EXPECT_EQ(raw.Value("SELECT version FROM schema_version"), "2");
  const std::vector<TResultRow> rows = StoredRows({std::nullopt, "S-1"});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Reasons, std::vector<std::string>{"L too high"});
  EXPECT_EQ(rows[0].Values, (std::vector<TFittedValue>{{"L", 2.75, 2.4, 2.6}}));

  ASSERT_TRUE(raw.Exec("UPDATE schema_version SET version = 99"));
  TResultsStore later(location_, TestOptions(folder_));
  EXPECT_EQ(later.Open().Error, TStoreError::SchemaTooNew);
  // The row waits for a program that knows the store.
  EXPECT_EQ(later.Write(PartRow("S-2")).Outcome, TWriteOutcome::Queued);
  EXPECT_EQ(raw.Value("SELECT COUNT(*) FROM results"), "1");
}

INSTANTIATE_TEST_SUITE_P(BothBackEnds, StoreTest,
                         ::testing::Values(TStoreKind::SqliteFile, TStoreKind::Postgres),
                         [](const auto& info) { return KindName(info.param); });

}  // namespace
}  // namespace doz::test

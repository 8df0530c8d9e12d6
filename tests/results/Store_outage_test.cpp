// A store that cannot be reached: rows wait in the queue, durably and in
// order, and reach the store once it is back; no message shows a password.
#include "Store_outage.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "Postgres_server.h"
#include "Raw_store.h"
#include "Results_store.h"
#include "Store_case.h"

namespace doz::test {
namespace {

using namespace results;

bool Shows(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class OutageTest : public ::testing::TestWithParam<TStoreKind> {
 protected:
  void SetUp() override {
    std::string why;
    location_ = NewStore(GetParam(), folder_, why);
    if (location_.empty()) GTEST_SKIP() << why;
    // A store that exists and is open, as at a station during a batch.
    ASSERT_TRUE(station_.emplace(location_, TestOptions(folder_)).Open().Ok());
  }

  TTempDir folder_;
  std::string location_;
  std::optional<TResultsStore> station_;
};

TEST_P(OutageTest, QueuesRowsInOrderUntilTheStoreIsBack) {
  TOutage outage(GetParam(), location_);
  ASSERT_TRUE(outage.Began());
  std::vector<TResultRow> rows;
  for (int i = 0; i < 3; ++i) {
    rows.push_back(PartRow("Q-" + std::to_string(i), i));
    const TWriteResult r = station_->Write(rows.back());
    ASSERT_EQ(r.Outcome, TWriteOutcome::Queued) << r.Status.Message;
    EXPECT_NE(r.Status.Error, TStoreError::None);
    EXPECT_FALSE(Shows(r.Status.Message, TPostgresServer::kPassword)) << r.Status.Message;
  }
  const TWriteResult again = station_->Write(rows[0]);
  EXPECT_EQ(again.Outcome, TWriteOutcome::Queued);
  EXPECT_EQ(station_->Waiting(), 4u);
  EXPECT_EQ(TResultsStore(location_, TestOptions(folder_)).Waiting(), 4u);
  outage.End();

  // The next write sends the queue first; the row queued twice is stored once.
  rows.push_back(PartRow("Q-3", 3));
  EXPECT_EQ(station_->Write(rows.back()).Outcome, TWriteOutcome::Written);
  EXPECT_EQ(station_->Waiting(), 0u);
  EXPECT_FALSE(std::filesystem::exists(station_->QueuePath()));
  std::vector<TResultRow> stored;
  ASSERT_TRUE(TResultsStore(location_, TestOptions(folder_)).Rows({}, stored).Ok());
  EXPECT_EQ(stored, rows);
}

TEST_P(OutageTest, OpeningAfterTheOutageFlushesWhatAnotherWriterQueued) {
  {
    TOutage outage(GetParam(), location_);
    ASSERT_TRUE(outage.Began());
    EXPECT_EQ(station_->Write(PartRow("R-1")).Outcome, TWriteOutcome::Queued);
  }
  TResultsStore reader(location_, TestOptions(folder_));
  ASSERT_TRUE(reader.Open().Ok());
  EXPECT_EQ(reader.LastFlush().Written, 1u);
  std::vector<TResultRow> stored;
  ASSERT_TRUE(reader.Rows({}, stored).Ok());
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].Serial, "R-1");
}

TEST_P(OutageTest, WritesAfterAnOutageThatNoWriteSaw) {
  TOutage(GetParam(), location_).End();  // a server restarted between two parts
  const TWriteResult r = station_->Write(PartRow("N-1"));
  EXPECT_EQ(r.Outcome, TWriteOutcome::Written) << r.Status.Message;
}

INSTANTIATE_TEST_SUITE_P(BothBackEnds, OutageTest,
                         ::testing::Values(TStoreKind::SqliteFile, TStoreKind::Postgres),
                         [](const auto& info) { return KindName(info.param); });

TEST(QueueFile, DropsALineCutShortByACrashAndKeepsTheRest) {
  TTempDir folder;
  const std::string location = folder.File("results.sqlite");
  TResultsStore store(location, TestOptions(folder));
  // Rows queued by hand as an outage leaves them, the last append cut short.
  const TRowQueue queue(store.QueuePath(), false);
  ASSERT_TRUE(queue.Append(PartRow("T-1")).Ok());
  const std::string whole = ReadBytes(store.QueuePath());
  WriteBytes(store.QueuePath(), whole + whole.substr(0, whole.size() / 2));
  ASSERT_TRUE(queue.Append(PartRow("T-2")).Ok());
  EXPECT_EQ(store.Waiting(), 2u);
  ASSERT_TRUE(store.Open().Ok());
  EXPECT_EQ(store.LastFlush().Written, 2u);
  EXPECT_EQ(store.LastFlush().Damaged, 1u);
}

TEST(Password, NeverShowsInAMessageTheDescriptionOrTheQueuePath) {
  TPostgresServer& server = SharedPostgres();
  if (!server.Running()) GTEST_SKIP() << server.Why();
  const std::string secret = "Wrong-Secret-42";
  std::string location = server.NewDatabase();
  location.replace(location.find(TPostgresServer::kPassword),
                   std::string(TPostgresServer::kPassword).size(), secret);
  TTempDir folder;
  TResultsStore store(location, TestOptions(folder));
  const TStoreStatus refused = store.Open();
  EXPECT_EQ(refused.Error, TStoreError::Unreachable);
  const TWriteResult queued = store.Write(PartRow("P-1"));
  EXPECT_EQ(queued.Outcome, TWriteOutcome::Queued);
  for (const std::string& text : {refused.Message, queued.Status.Message, store.Description(),
                                  store.QueuePath(), ReadBytes(store.QueuePath())}) {
    EXPECT_FALSE(Shows(text, secret)) << text;
  }
  EXPECT_TRUE(Shows(refused.Message, "doz:***@")) << refused.Message;
}

}  // namespace
}  // namespace doz::test
